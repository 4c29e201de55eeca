// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;

namespace krambol::windows {

class StretchedImage;

// The about window: the maker's label, the year and the version over the shared picture. A mouse
// button going down on the picture or on any label closes it; nothing else does. Every opening
// makes a new window: `auto* w = new Form2(); w->show();` (no owner; it deletes itself when closed).
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget* parent = nullptr);

    // Mouse-down reactions of the picture and the labels. The arguments are not used: any button
    // with any modifiers anywhere on the control closes this window.
    void Image1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint position);
    void Label1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint position);
    void lblCompanyProduct_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint position);
    void lblCopyright_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint position);
    void lblVersion_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint position);

    QLabel* Label1() const { return m_Label1; }
    QLabel* lblCompanyProduct() const { return m_lblCompanyProduct; }
    QLabel* lblVersion() const { return m_lblVersion; }
    QLabel* lblCopyright() const { return m_lblCopyright; }
    StretchedImage* Image1() const { return m_Image1; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_Label1 = nullptr;
    QLabel* m_lblCompanyProduct = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblCopyright = nullptr;
    StretchedImage* m_Image1 = nullptr;
};

} // namespace krambol::windows
