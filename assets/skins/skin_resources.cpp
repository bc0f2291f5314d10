// The library carries the resource ":/skins/Default.skn"; its objects are linked
// into every program that links quillnote_skin_resources.
namespace quill {
int SkinResourcesAnchor = 0;
} // namespace quill
