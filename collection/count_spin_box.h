#pragma once

#include <QSpinBox>

// A count field of the card entry window. Any number can be typed, also one
// above the maximum (refusing the third digit of 250 would store 25): the
// value is brought into the range when the field is left.
class CountSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
};
