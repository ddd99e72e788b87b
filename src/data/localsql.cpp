#include "localsql.h"

#include "schema.h"

#include <QRegularExpression>

namespace LocalSql
{

namespace
{

struct Token {
    enum Type { Word, String, Param, Symbol, Space } type;
    QString text;
};

// A small tokenizer: enough to keep literals apart from the rest.
QList<Token> tokenize(const QString &sql)
{
    QList<Token> tokens;
    int i = 0;
    const int n = sql.size();
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            int j = i;
            while (j < n && sql[j].isSpace())
                ++j;
            tokens.push_back({Token::Space, QStringLiteral(" ")});
            i = j;
        } else if (c == u'\'' || c == u'"') {
            // Both quote kinds are string literals here; a doubled quote stands for itself.
            QString value;
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += sql[j++];
            }
            value.replace(u'\'', QStringLiteral("''"));
            tokens.push_back({Token::String, u'\'' + value + u'\''});
            i = j + 1;
        } else if (c == u':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == u'_')) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
                ++j;
            tokens.push_back({Token::Param, QStringLiteral("?")});
            i = j;
        } else if (c.isLetterOrNumber() || c == u'_' || c == u'.') {
            int j = i;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_' || sql[j] == u'.'))
                ++j;
            tokens.push_back({Token::Word, sql.mid(i, j - i)});
            i = j;
        } else {
            tokens.push_back({Token::Symbol, QString(c)});
            ++i;
        }
    }
    return tokens;
}

bool isWord(const Token &t, const char *word)
{
    return t.type == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

int nextSolid(const QList<Token> &t, int i)
{
    ++i;
    while (i < t.size() && t[i].type == Token::Space)
        ++i;
    return i;
}

int prevSolid(const QList<Token> &t, int i)
{
    --i;
    while (i >= 0 && t[i].type == Token::Space)
        --i;
    return i;
}

QString join(const QList<Token> &tokens)
{
    QString out;
    for (const Token &t : tokens)
        out += t.text;
    return out.trimmed();
}

// substring(x FROM a FOR b) -> substr(x, a, b)
void rewriteSubstring(QList<Token> &t)
{
    for (int i = 0; i < t.size(); ++i) {
        if (!isWord(t[i], "substring")) continue;
        t[i].text = QStringLiteral("substr");
        int depth = 0;
        for (int j = i + 1; j < t.size(); ++j) {
            if (t[j].type == Token::Symbol && t[j].text == u"(")
                ++depth;
            else if (t[j].type == Token::Symbol && t[j].text == u")") {
                if (--depth == 0) break;
            } else if (depth == 1 && (isWord(t[j], "from") || isWord(t[j], "for"))) {
                t[j] = {Token::Symbol, QStringLiteral(",")};
            }
        }
    }
}

// + beside a string literal concatenates.
void rewriteConcatenation(QList<Token> &t)
{
    for (int i = 0; i < t.size(); ++i) {
        if (t[i].type != Token::Symbol || t[i].text != u"+") continue;
        const int p = prevSolid(t, i), n = nextSolid(t, i);
        if ((p >= 0 && t[p].type == Token::String) || (n < t.size() && t[n].type == Token::String))
            t[i].text = QStringLiteral("||");
    }
}

// update T t1 set -> update T as t1 set
void rewriteUpdateAlias(QList<Token> &t)
{
    const int first = nextSolid(t, -1);
    if (first >= t.size() || !isWord(t[first], "update")) return;
    const int table = nextSolid(t, first);
    const int alias = nextSolid(t, table);
    if (alias < t.size() && t[alias].type == Token::Word && !isWord(t[alias], "set") &&
        !isWord(t[alias], "as"))
        t[alias].text = QStringLiteral("as ") + t[alias].text;
}

QStringList rewriteAlter(const QList<Token> &t)
{
    // alter table NAME <clauses>
    const int a = nextSolid(t, -1);
    const int tb = nextSolid(t, a);
    const int name = nextSolid(t, tb);
    if (a >= t.size() || !isWord(t[a], "alter") || tb >= t.size() || !isWord(t[tb], "table") ||
        name >= t.size())
        return {};
    const QString tableName = t[name].text;
    // Split the clauses at top-level commas.
    QList<QList<Token>> clauses(1);
    int depth = 0;
    for (int i = name + 1; i < t.size(); ++i) {
        if (t[i].type == Token::Symbol && t[i].text == u"(") ++depth;
        if (t[i].type == Token::Symbol && t[i].text == u")") --depth;
        if (depth == 0 && t[i].type == Token::Symbol && t[i].text == u",") {
            clauses.push_back({});
            continue;
        }
        clauses.back().push_back(t[i]);
    }
    static const QRegularExpression addChar(
        QStringLiteral("^add\\s+(\\w+)\\s+char\\s*\\(\\s*(\\d+)\\s*\\)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression drop(QStringLiteral("^drop\\s+(?:column\\s+)?(\\w+)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    for (const auto &clause : clauses) {
        const QString text = join(clause);
        QString rewritten = text;
        if (auto m = addChar.match(text); m.hasMatch())
            rewritten =
                QStringLiteral("add column ") +
                // The text column's definition with its length check, which either store runs.
                Schema::columnDefinition(m.captured(1), Schema::Kind::Text, m.captured(2).toInt(),
                                         Dialect::Store::Sqlite);
        else if (auto d = drop.match(text); d.hasMatch())
            rewritten = QStringLiteral("drop column ") + d.captured(1);
        out << QStringLiteral("alter table %1 %2").arg(tableName, rewritten);
    }
    return out;
}

} // namespace

QStringList translate(const QString &sql)
{
    QList<Token> tokens = tokenize(sql);
    const int first = nextSolid(tokens, -1);
    if (first < tokens.size() && isWord(tokens[first], "alter")) return rewriteAlter(tokens);
    rewriteSubstring(tokens);
    rewriteConcatenation(tokens);
    rewriteUpdateAlias(tokens);
    return {join(tokens)};
}

} // namespace LocalSql
