#pragma once
// A window's part (a control, its skin, its task list), found by its type and
// object name the way the user's tools find it, since windows keep their parts
// to themselves.

#include <QObject>
#include <QString>
#include <memory>

namespace quill::test {

template <typename T> T* Part(const QObject* window, const char* name = nullptr) {
    T* part = window->findChild<T*>(name ? QString::fromLatin1(name) : QString());
    if (!part)
        qFatal("the window has no part %s", name ? name : T::staticMetaObject.className());
    return part;
}

template <typename T, typename W> T* Part(const std::unique_ptr<W>& window, const char* name) {
    return Part<T>(window.get(), name);
}

} // namespace quill::test

using quill::test::Part;
