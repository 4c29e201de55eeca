// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace krambol::windows {

class StretchedImage;

// The splash window: a borderless picture with the maker's label, the year and the version over it.
// It takes no input and closes itself two seconds after it was created, by its own timer only.
// Create it with `(new Form3())->show();`: it has no owner and deletes itself when closed.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(QWidget* parent = nullptr);

    // The timer's single tick: closes and unloads this splash window.
    void Timer1_Timer();

    QLabel* lblCompanyProduct() const { return m_lblCompanyProduct; }
    QLabel* Label1() const { return m_Label1; }
    QLabel* lblCopyright() const { return m_lblCopyright; }
    QLabel* lblVersion() const { return m_lblVersion; }
    StretchedImage* Image1() const { return m_Image1; }
    QTimer* Timer1() const { return m_Timer1; }

private:
    QLabel* m_lblCompanyProduct = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_lblCopyright = nullptr;
    QLabel* m_lblVersion = nullptr;
    StretchedImage* m_Image1 = nullptr;
    QTimer* m_Timer1 = nullptr;
};

} // namespace krambol::windows
