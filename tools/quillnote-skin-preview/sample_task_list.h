#pragma once
// Sample lists for the preview: the main window's task list (the program's own
// list control) and the categories window's list, with made-up content.

#include "skin/skin_params.h"
#include "skin/skin_pictures.h"

#include <QWidget>

namespace quill {
class TForm;
class TSkin;
} // namespace quill

namespace quill::preview {

// The main window's task list as the program paints it (the real list control),
// filled with sample tasks, with its scroll bar and the category chooser.
void AddSampleTaskList(TSkin& skin, TForm& form, const SkinParams& params,
                       const SkinPictures& pictures);

// The categories list of the categories window: names and their marks.
class SampleCategoryList : public QWidget {
public:
    SampleCategoryList(const SkinParams& params, const SkinPictures& pictures, QColor background,
                       QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SkinParams params_;
    SkinPictures pictures_;
    QColor background_;
};

} // namespace quill::preview
