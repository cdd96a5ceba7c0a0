#include "collection/count_spin_box.h"

namespace {

// The digits typed, without the prefix and suffix; -1 when the text is not
// a whole number of digits only.
qint64 typedNumber(const QSpinBox &box, const QString &input)
{
    QString digits = input;
    if (digits.startsWith(box.prefix()))
        digits.remove(0, box.prefix().size());
    if (digits.endsWith(box.suffix()))
        digits.chop(box.suffix().size());
    digits = digits.trimmed();
    if (digits.isEmpty() || digits.size() > 18)
        return -1;
    for (const QChar c : std::as_const(digits)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    }
    return digits.toLongLong();
}

} // namespace

QValidator::State CountSpinBox::validate(QString &input, int &pos) const
{
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state == QValidator::Invalid && typedNumber(*this, input) > maximum())
        return QValidator::Intermediate;
    return state;
}

void CountSpinBox::fixup(QString &input) const
{
    if (typedNumber(*this, input) > maximum())
        input = textFromValue(maximum());
    else
        QSpinBox::fixup(input);
}
