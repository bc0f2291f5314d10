#pragma once
// A task list painted the way the main window paints its list, from the skin's
// colours, margins, font and pictures, with made-up tasks.

#include "skin/skin_params.h"
#include "skin/skin_pictures.h"

#include <QWidget>

namespace quill::preview {

class SampleTaskList : public QWidget {
public:
    SampleTaskList(const SkinParams& params, const SkinPictures& pictures, QColor background,
                   QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SkinParams params_;
    SkinPictures pictures_;
    QColor background_;
};

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
