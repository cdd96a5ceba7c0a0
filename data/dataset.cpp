#include "data/dataset.h"

#include "data/error.h"
#include "data/value_conversion.h"

QString Field::name() const
{
    return m_dataset->fieldName(m_position);
}

bool Field::isNull() const
{
    return m_dataset->isNullAt(m_position);
}

QString Field::asString() const
{
    return m_dataset->textAt(m_position);
}

qint64 Field::asInteger() const
{
    return m_dataset->integerAt(m_position);
}

double Field::asFloat() const
{
    return m_dataset->floatAt(m_position);
}

QByteArray Field::asBytes() const
{
    const QVariant value = m_dataset->value(m_position);
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    return values::toText(value).toUtf8();
}

void Field::setAsString(const QString &text)
{
    m_dataset->setValue(m_position, text);
}

void Field::setAsInteger(qint64 value)
{
    m_dataset->setValue(m_position, value);
}

void Field::setAsFloat(double value)
{
    m_dataset->setValue(m_position, value);
}

void Field::setAsBytes(const QByteArray &bytes)
{
    m_dataset->setValue(m_position, bytes);
}

void Field::clear()
{
    m_dataset->setValue(m_position, QVariant());
}

bool Dataset::isNullAt(int position) const
{
    const QVariant stored = value(position);
    return !stored.isValid() || stored.isNull();
}

QString Dataset::textAt(int position) const
{
    return values::toText(value(position));
}

qint64 Dataset::integerAt(int position) const
{
    return values::toInteger(value(position));
}

double Dataset::floatAt(int position) const
{
    return values::toFloat(value(position));
}

int Dataset::fieldIndex(const QString &name) const
{
    const int count = fieldCount();
    for (int i = 0; i < count; ++i) {
        if (QString::compare(fieldName(i), name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Field Dataset::field(int position)
{
    checkPosition(position);
    return Field(this, position);
}

Field Dataset::fieldByName(const QString &name)
{
    const int position = fieldIndex(name);
    if (position < 0)
        throw AppError(QStringLiteral("Champ '%1' introuvable.").arg(name));
    return Field(this, position);
}

namespace {
[[noreturn]] void readOnlyDataset()
{
    throw AppError(QStringLiteral("Ce résultat de requête est en lecture seule : il ne peut pas être "
                                  "modifié."));
}
} // namespace

void Dataset::edit()
{
    readOnlyDataset();
}

void Dataset::insert()
{
    readOnlyDataset();
}

void Dataset::setValue(int, const QVariant &)
{
    readOnlyDataset();
}

void Dataset::post()
{
    readOnlyDataset();
}

void Dataset::cancel()
{
}

void Dataset::remove()
{
    readOnlyDataset();
}

void Dataset::checkPosition(int position) const
{
    if (!isOpen())
        throw AppError(QStringLiteral("La table ou la requête n'est pas ouverte : le champ n° %1 ne "
                                      "peut pas être lu.")
                           .arg(position + 1));
    if (position < 0 || position >= fieldCount())
        throw AppError(QStringLiteral("Numéro de champ %1 hors limites (la table a %2 champs).")
                           .arg(position)
                           .arg(fieldCount()));
}
