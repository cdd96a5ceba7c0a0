#include "fuzz/fuzz_input.h"

#include <QtEndian>

FuzzFiles splitFuzzInput(const char *data, std::size_t size)
{
    if (size < 4)
        return {QByteArray(data, qsizetype(size)), {}};
    const std::size_t length = std::min<std::size_t>(qFromLittleEndian<quint32>(data), size - 4);
    return {QByteArray(data + 4, qsizetype(length)), QByteArray(data + 4 + length, qsizetype(size - 4 - length))};
}

QByteArray joinFuzzInput(const FuzzFiles &files)
{
    QByteArray input(4, '\0');
    qToLittleEndian<quint32>(quint32(files.table.size()), input.data());
    return input + files.table + files.pictures;
}
