#pragma once

#include <QByteArray>

// One fuzzer input holds a table and its picture file: four bytes giving the
// length of the .DB part (little-endian), the .DB bytes, then the .MB bytes
// (none: no .MB file). A length beyond the input takes the whole rest.
struct FuzzFiles {
    QByteArray table;
    QByteArray pictures;
};

FuzzFiles splitFuzzInput(const char *data, std::size_t size);
QByteArray joinFuzzInput(const FuzzFiles &files);
