#include "data/local_sql.h"

#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/value_conversion.h"

#include <algorithm>
#include <vector>

namespace localsql {

namespace {

// Deepest nesting of parentheses, NOT and UPPER that SQLite still parses
// whatever OR and AND wait at each level.
constexpr int MaxNesting = 16;

enum class TokenKind { Word, Number, Text, Symbol, End };

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;
    QChar quote;
};

QString shown(const Token &token)
{
    if (token.kind == TokenKind::Text) {
        QString doubled = token.text;
        doubled.replace(token.quote, QString(2, token.quote));
        return token.quote + doubled + token.quote;
    }
    return token.text;
}

[[noreturn]] void syntaxErrorNear(const QString &text)
{
    throw AppError(QStringLiteral("Erreur de syntaxe dans la requête près de « %1 ».").arg(text));
}

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

std::vector<Token> tokenize(const QString &text)
{
    std::vector<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token token;
        if (isWordStart(c)) {
            const qsizetype start = i;
            while (i < n && isWordPart(text[i]))
                ++i;
            token.kind = TokenKind::Word;
            token.text = text.mid(start, i - start);
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && text[i + 1].isDigit())) {
            const qsizetype start = i;
            while (i < n && text[i].isDigit())
                ++i;
            if (i < n && text[i] == QLatin1Char('.')) {
                ++i;
                while (i < n && text[i].isDigit())
                    ++i;
            }
            token.kind = TokenKind::Number;
            token.text = text.mid(start, i - start);
            // "12abc" is neither a number nor a name.
            if (i < n && isWordPart(text[i])) {
                qsizetype end = i;
                while (end < n && isWordPart(text[end]))
                    ++end;
                syntaxErrorNear(text.mid(start, end - start));
            }
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            token.kind = TokenKind::Text;
            token.quote = c;
            const qsizetype start = i;
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == c) {
                    if (i + 1 < n && text[i + 1] == c) {
                        token.text += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                token.text += text[i];
                ++i;
            }
            if (!closed)
                throw AppError(QStringLiteral("Erreur de syntaxe dans la requête : la constante %1 "
                                              "n'est pas fermée.")
                                   .arg(text.mid(start)));
        } else {
            token.kind = TokenKind::Symbol;
            const QString two = text.mid(i, 2);
            if (two == QLatin1String("<>") || two == QLatin1String("<=") || two == QLatin1String(">=")
                || two == QLatin1String("!=")) {
                token.text = two;
                i += 2;
            } else if (QStringLiteral("()*,=<>-.").contains(c)) {
                token.text = c;
                ++i;
            } else {
                syntaxErrorNear(c);
            }
        }
        tokens.push_back(token);
    }
    tokens.push_back(Token{TokenKind::End, QString(), QChar()});
    return tokens;
}

// One side of a comparison.
struct Operand {
    enum class Type { Field, Function, Constant };
    Type type = Type::Constant;
    QString sql;
    bool numericField = false; // a numeric column
    int bindIndex = -1;        // for a constant
    bool textConstant = false; // a quoted constant
    QString written;           // the constant as written
};

class Parser
{
public:
    Parser(const QString &text, const QStringList *columns, const QList<bool> *numeric)
        : m_tokens(tokenize(text))
        , m_columns(columns)
        , m_numeric(numeric)
    {
    }

    Statement parse(bool headOnly)
    {
        expectWord("SELECT");
        if (isSymbol("*")) {
            take();
        } else {
            if (isWord("DISTINCT")) {
                take();
                m_statement.distinct = true;
            }
            m_statement.selectFields << fieldName(takeFieldWord());
            while (!m_statement.distinct && isSymbol(",")) {
                take();
                m_statement.selectFields << fieldName(takeFieldWord());
            }
        }
        expectWord("FROM");
        parseTableName();
        if (headOnly)
            return m_statement;
        if (isWord("WHERE")) {
            take();
            orExpression();
            m_statement.condition = m_condition;
        }
        if (peek().kind != TokenKind::End)
            syntaxErrorNear(shown(peek()));
        return m_statement;
    }

private:
    const Token &peek() const { return m_tokens[m_position]; }
    const Token &take()
    {
        const Token &token = m_tokens[m_position];
        if (token.kind != TokenKind::End)
            ++m_position;
        return token;
    }
    bool isWord(const char *word) const
    {
        return peek().kind == TokenKind::Word
            && peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char *symbol) const
    {
        return peek().kind == TokenKind::Symbol && peek().text == QLatin1String(symbol);
    }

    [[noreturn]] void unexpected() const
    {
        if (peek().kind != TokenKind::End)
            syntaxErrorNear(shown(peek()));
        const QString last = m_position > 0 ? shown(m_tokens[m_position - 1]) : QString();
        if (last.isEmpty())
            throw AppError(QStringLiteral("Erreur de syntaxe dans la requête : la requête est vide."));
        throw AppError(QStringLiteral("Erreur de syntaxe dans la requête près de « %1 » : la requête "
                                      "est incomplète.")
                           .arg(last));
    }

    void expectWord(const char *word)
    {
        if (!isWord(word))
            unexpected();
        take();
    }
    void expectSymbol(const char *symbol)
    {
        if (!isSymbol(symbol))
            unexpected();
        take();
    }

    static bool isReserved(const QString &word)
    {
        static const QStringList reserved = {QStringLiteral("SELECT"), QStringLiteral("DISTINCT"),
                                             QStringLiteral("FROM"),   QStringLiteral("WHERE"),
                                             QStringLiteral("AND"),    QStringLiteral("OR"),
                                             QStringLiteral("NOT"),    QStringLiteral("LIKE")};
        return reserved.contains(word, Qt::CaseInsensitive);
    }

    QString takeFieldWord()
    {
        if (peek().kind != TokenKind::Word || isReserved(peek().text))
            unexpected();
        return take().text;
    }

    // The table's real name of a field; the name as written when no columns
    // are known yet.
    QString fieldName(const QString &written) const
    {
        if (!m_columns)
            return written;
        const int index = columnIndex(written);
        return m_columns->at(index);
    }

    bool hasColumn(const QString &written) const
    {
        return std::any_of(m_columns->begin(), m_columns->end(), [&](const QString &column) {
            return QString::compare(column, written, Qt::CaseInsensitive) == 0;
        });
    }

    int columnIndex(const QString &written) const
    {
        for (int i = 0; i < m_columns->size(); ++i) {
            if (QString::compare(m_columns->at(i), written, Qt::CaseInsensitive) == 0)
                return i;
        }
        throw AppError(QStringLiteral("Champ '%1' introuvable.").arg(written));
    }

    void parseTableName()
    {
        if (peek().kind == TokenKind::Text) {
            const QString name = take().text;
            m_statement.table = name;
            m_statement.tableIsPath = name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'));
            if (name.isEmpty())
                unexpected();
            return;
        }
        if (peek().kind != TokenKind::Word || isReserved(peek().text))
            unexpected();
        QString name = take().text;
        // CARTES.DB written without quotes.
        while (isSymbol(".") && m_tokens[m_position + 1].kind == TokenKind::Word) {
            take();
            name += QLatin1Char('.') + take().text;
        }
        m_statement.table = name;
        m_statement.tableIsPath = false;
    }

    // The condition is written into one text as it is read, so a long chain
    // of OR or AND costs time in proportion to its length. Local SQL gives
    // NOT, AND and OR the precedence SQLite gives them, so the terms need no
    // parentheses beyond those written.
    void orExpression()
    {
        andExpression();
        while (isWord("OR")) {
            take();
            m_condition += QLatin1String(" OR ");
            andExpression();
        }
    }

    void andExpression()
    {
        notExpression();
        while (isWord("AND")) {
            take();
            m_condition += QLatin1String(" AND ");
            notExpression();
        }
    }

    void notExpression()
    {
        int nots = 0;
        while (isWord("NOT")) {
            take();
            enterNesting();
            ++nots;
            m_condition += QLatin1String("NOT ");
        }
        predicate();
        m_depth -= nots;
    }

    void predicate()
    {
        if (isSymbol("(")) {
            take();
            enterNesting();
            m_condition += QLatin1Char('(');
            orExpression();
            expectSymbol(")");
            m_condition += QLatin1Char(')');
            --m_depth;
            return;
        }
        Operand left = operand();
        bool negated = false;
        if (isWord("NOT")) {
            take();
            negated = true;
            if (!isWord("LIKE"))
                unexpected();
        }
        if (isWord("LIKE")) {
            take();
            Operand right = operand();
            m_condition += left.sql + (negated ? QLatin1String(" NOT LIKE ") : QLatin1String(" LIKE "))
                + right.sql;
            return;
        }
        static const QStringList comparisons = {QStringLiteral("="),  QStringLiteral("<>"),
                                                QStringLiteral("!="), QStringLiteral("<"),
                                                QStringLiteral(">"),  QStringLiteral("<="),
                                                QStringLiteral(">=")};
        if (peek().kind != TokenKind::Symbol || !comparisons.contains(peek().text))
            unexpected();
        QString op = take().text;
        if (op == QLatin1String("!="))
            op = QStringLiteral("<>");
        Operand right = operand(&left);
        matchTypes(left, right);
        matchTypes(right, left);
        m_condition += left.sql + QLatin1Char(' ') + op + QLatin1Char(' ') + right.sql;
    }

    // Parentheses, NOT and UPPER nest; each level costs stack here and in
    // SQLite's parser, so a statement nested deeper than any search needs
    // is refused rather than let run out of stack.
    void enterNesting()
    {
        if (++m_depth > MaxNesting)
            throw AppError(QStringLiteral("La requête est trop imbriquée : elle dépasse %1 niveaux de "
                                          "parenthèses, de NOT ou de UPPER.")
                               .arg(MaxNesting));
    }

    // A constant compared with a field takes the field's kind: a number for
    // a numeric field (or an error), a text for a text field.
    void matchTypes(const Operand &field, const Operand &constant)
    {
        if (constant.type != Operand::Type::Constant || field.type == Operand::Type::Constant)
            return;
        QVariant &bound = m_statement.binds[constant.bindIndex];
        if (field.numericField) {
            if (!constant.textConstant)
                return;
            const std::optional<double> number = values::parseNumber(constant.written);
            if (!number)
                throw AppError(QStringLiteral("'%1' n'est pas une valeur numérique correcte.")
                                   .arg(constant.written));
            const std::optional<qint64> whole = values::parseInteger(constant.written);
            bound = whole ? QVariant(*whole) : QVariant(*number);
        } else if (!constant.textConstant) {
            bound = constant.written;
        }
    }

    // `compared` is the other side of a comparison, when known: a word typed
    // where a number is expected is reported as a bad number.
    Operand operand(const Operand *compared = nullptr)
    {
        Operand result;
        const Token &token = peek();
        if (token.kind == TokenKind::Word && isWord("UPPER")
            && m_tokens[m_position + 1].kind == TokenKind::Symbol && m_tokens[m_position + 1].text == QLatin1String("(")) {
            take();
            take();
            enterNesting();
            const Operand inner = operand();
            expectSymbol(")");
            --m_depth;
            result.type = Operand::Type::Function;
            result.sql = QStringLiteral("upper(%1)").arg(inner.sql);
            return result;
        }
        if (token.kind == TokenKind::Word) {
            const QString written = takeFieldWord();
            result.type = Operand::Type::Field;
            if (m_columns) {
                if (compared && compared->numericField && !hasColumn(written))
                    throw AppError(QStringLiteral("'%1' n'est pas une valeur numérique correcte.").arg(written));
                const int index = columnIndex(written);
                result.sql = quoteIdentifier(m_columns->at(index));
                result.numericField = m_numeric && index < m_numeric->size() && m_numeric->at(index);
            } else {
                result.sql = quoteIdentifier(written);
            }
            return result;
        }
        bool negative = false;
        if (isSymbol("-")) {
            take();
            negative = true;
            if (peek().kind != TokenKind::Number)
                unexpected();
        }
        if (peek().kind == TokenKind::Number) {
            const QString written = (negative ? QStringLiteral("-") : QString()) + take().text;
            result.written = written;
            if (written.contains(QLatin1Char('.')))
                addBind(result, written.toDouble());
            else if (const std::optional<qint64> whole = values::parseInteger(written))
                addBind(result, *whole);
            else
                addBind(result, written.toDouble());
            return result;
        }
        if (peek().kind == TokenKind::Text) {
            result.written = take().text;
            result.textConstant = true;
            addBind(result, result.written);
            return result;
        }
        unexpected();
    }

    void addBind(Operand &operand, const QVariant &value)
    {
        operand.type = Operand::Type::Constant;
        operand.bindIndex = int(m_statement.binds.size());
        operand.sql = QStringLiteral("?");
        m_statement.binds << value;
    }

    std::vector<Token> m_tokens;
    qsizetype m_position = 0;
    const QStringList *m_columns;
    const QList<bool> *m_numeric;
    Statement m_statement;
    QString m_condition;
    int m_depth = 0;
};

} // namespace

QString parseTable(const QString &text, bool *isPath)
{
    Parser parser(text, nullptr, nullptr);
    const Statement statement = parser.parse(true);
    if (isPath)
        *isPath = statement.tableIsPath;
    return statement.table;
}

Statement parse(const QString &text, const QStringList &columns)
{
    Parser parser(text, &columns, nullptr);
    return parser.parse(false);
}

Statement parse(const QString &text, const QStringList &columns, const QList<bool> &numericColumns)
{
    Parser parser(text, &columns, &numericColumns);
    return parser.parse(false);
}

} // namespace localsql
