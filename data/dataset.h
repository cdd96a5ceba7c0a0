#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

class Dataset;

// A field of the current row of a dataset, read and written through its text,
// integer or floating-point form. A blank number (NULL) reads as the empty
// text and as 0.
class Field
{
public:
    Field(Dataset *dataset, int position) : m_dataset(dataset), m_position(position) {}

    QString name() const;
    int position() const { return m_position; }
    bool isNull() const;

    // Text form: NULL -> "", integers in decimal, floating point in its
    // shortest exact decimal form with a point ("12.5", "3"), text as is.
    QString asString() const;
    // Integer form: NULL or "" -> 0; a text or float that is not a whole
    // number throws AppError.
    qint64 asInteger() const;
    // Floating point: NULL or "" -> 0; a text that is not a number throws.
    double asFloat() const;
    QByteArray asBytes() const;

    // Writes convert to the field's column type: for a numeric column an
    // empty text stores NULL and a text that is not a number throws AppError
    // with a French message (nothing is stored).
    void setAsString(const QString &text);
    void setAsInteger(qint64 value);
    void setAsFloat(double value);
    void setAsBytes(const QByteArray &bytes);
    void clear();

private:
    Dataset *m_dataset;
    int m_position;
};

// One interface for table cursors and query results. A freshly opened
// dataset stands on its first row. Errors throw AppError.
class Dataset
{
public:
    enum class State { Inactive, Browse, Edit, Insert };
    // Declared column kinds, which decide how writes convert.
    enum class Kind { Text, Integer, Float, Blob };

    virtual ~Dataset() = default;

    // Opens on the first row; rows come in key order.
    void open() { openRows(true); }
    // Opens for a pass whose result does not depend on the order of the rows
    // (sums, counts, a change made to every row): rows come in the order the
    // file stores them, which reads much faster than key order.
    void openUnordered() { openRows(false); }
    virtual void close() = 0;
    // For the next open only: the fields a pass reads from each row. The
    // others stay readable, read on demand, so a pass that sums two counts
    // does not convert every name of every row. Ignored by datasets that
    // read whole rows anyway.
    virtual void setFieldsToRead(const std::vector<int> &positions) { Q_UNUSED(positions); }
    bool isOpen() const { return state() != State::Inactive; }
    virtual State state() const = 0;

    virtual void first() = 0;
    virtual void next() = 0;
    // True once next() has passed the last row, or at once on an empty set.
    virtual bool eof() const = 0;
    virtual int recordCount() = 0;

    virtual int fieldCount() const = 0;
    virtual QString fieldName(int position) const = 0;
    virtual Kind fieldKind(int position) const = 0;
    // Position of a field, letter case ignored (also for accented letters);
    // -1 when there is none.
    int fieldIndex(const QString &name) const;
    // Throws AppError when the position is out of range.
    Field field(int position);
    // Throws AppError ("Champ 'X' introuvable.") when there is no such field.
    Field fieldByName(const QString &name);

    // Raw value of the current row (or of the row being edited/inserted).
    virtual QVariant value(int position) const = 0;
    // The forms Field reads, by position (checked by field()). These go
    // through value(); a dataset that can read its values typed overrides
    // them so that long passes make no QVariant per value.
    virtual bool isNullAt(int position) const;
    virtual QString textAt(int position) const;
    virtual qint64 integerAt(int position) const;
    virtual double floatAt(int position) const;

    // Editing; a read-only dataset throws AppError.
    virtual void edit();
    virtual void insert();
    virtual void setValue(int position, const QVariant &value);
    // Writes the edited or inserted row, as its own commit.
    virtual void post();
    virtual void cancel();
    // Deletes the current row; the cursor moves to the row that followed.
    virtual void remove();

    // Transactions grouping many posts (see PostBatch); a dataset that
    // cannot write does nothing.
    virtual void beginTransaction() {}
    virtual void commitTransaction() {}

protected:
    virtual void openRows(bool keyOrder) = 0;
    void checkPosition(int position) const;
};
