#include "data/foreign_text.h"

#include "data/value_conversion.h"

QString foreignTextFault(const QVariant &value, qint64 row, const QString &field)
{
    if (value.typeId() == QMetaType::QByteArray)
        return QStringLiteral("la ligne %1 contient des données binaires dans le champ %2.").arg(row).arg(field);
    const QString text = values::toText(value);
    if (text.size() > MaxForeignText)
        return QStringLiteral("la ligne %1 a un champ %2 de plus de %3 caractères.")
            .arg(row)
            .arg(field)
            .arg(MaxForeignText);
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return QStringLiteral("la ligne %1 contient des caractères de contrôle dans le champ %2.")
                .arg(row)
                .arg(field);
    }
    return QString();
}
