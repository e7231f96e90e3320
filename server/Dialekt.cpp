#include "server/Dialekt.h"

#include <vector>

namespace server {

namespace {

enum class Art { Leer, Text, Name, Bezeichner, Zahl, Parameter, Zeichen };

struct Token {
    Art art;
    QString text;
    bool ist(const char* wort) const
    {
        return art == Art::Name && text.compare(QLatin1String(wort), Qt::CaseInsensitive) == 0;
    }
    bool zeichen(const char* z) const { return art == Art::Zeichen && text == QLatin1String(z); }
};

bool NameStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool NameTeil(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

QString Gequotet(const QString& name)
{
    QString n = name.toLower();
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

std::vector<Token> Zerlegen(const QString& s)
{
    std::vector<Token> out;
    int i = 0;
    const int n = s.size();
    auto bis = [&](int j) { return j < n ? j : n; };
    while (i < n) {
        const QChar c = s.at(i);
        int j = i + 1;
        if (c.isSpace()) {
            while (j < n && s.at(j).isSpace()) ++j;
            out.push_back({Art::Leer, s.mid(i, j - i)});
        } else if (c == QLatin1Char('-') && i + 1 < n && s.at(i + 1) == QLatin1Char('-')) {
            while (j < n && s.at(j) != QLatin1Char('\n')) ++j;
            out.push_back({Art::Leer, s.mid(i, j - i)});
        } else if (c == QLatin1Char('/') && i + 1 < n && s.at(i + 1) == QLatin1Char('*')) {
            int e = s.indexOf(QStringLiteral("*/"), i + 2);
            j = e < 0 ? n : e + 2;
            out.push_back({Art::Leer, s.mid(i, j - i)});
        } else if (c == QLatin1Char('\'')) {
            // '' inside a literal is a quote, not its end.
            while (j < n) {
                if (s.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && s.at(j + 1) == QLatin1Char('\'')) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            out.push_back({Art::Text, s.mid(i, j - i)});
        } else if (c == QLatin1Char('[')) {
            int e = s.indexOf(QLatin1Char(']'), i + 1);
            j = e < 0 ? n : e + 1;
            out.push_back({Art::Bezeichner, Gequotet(s.mid(i + 1, bis(e < 0 ? n : e) - i - 1))});
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`')) {
            QString name;
            while (j < n) {
                if (s.at(j) == c) {
                    if (j + 1 < n && s.at(j + 1) == c) {
                        name += c;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                name += s.at(j++);
            }
            out.push_back({Art::Bezeichner, Gequotet(name)});
        } else if (c == QLatin1Char(':') && i + 1 < n && NameStart(s.at(i + 1)) &&
                   (i == 0 || s.at(i - 1) != QLatin1Char(':'))) {
            while (j < n && NameTeil(s.at(j)) && s.at(j) != QLatin1Char('$')) ++j;
            out.push_back({Art::Parameter, s.mid(i + 1, j - i - 1)});
        } else if (c == QLatin1Char('?')) {
            // "?" takes the next number, "?3" names its number itself.
            while (j < n && s.at(j).isDigit()) ++j;
            out.push_back({Art::Parameter, s.mid(i, j - i)});
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            while (j < n && (s.at(j).isDigit() || s.at(j) == QLatin1Char('.'))) ++j;
            if (j < n && (s.at(j) == QLatin1Char('e') || s.at(j) == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (s.at(k) == QLatin1Char('+') || s.at(k) == QLatin1Char('-'))) ++k;
                if (k < n && s.at(k).isDigit()) {
                    j = k;
                    while (j < n && s.at(j).isDigit()) ++j;
                }
            }
            out.push_back({Art::Zahl, s.mid(i, j - i)});
        } else if (NameStart(c)) {
            while (j < n && NameTeil(s.at(j))) ++j;
            out.push_back({Art::Name, s.mid(i, j - i)});
        } else {
            static const char* const zwei[] = {"<=", ">=", "<>", "!=", "==", "||"};
            QString t(c);
            for (const char* z : zwei) {
                if (s.mid(i, 2) == QLatin1String(z)) {
                    t = QLatin1String(z);
                    j = i + 2;
                    break;
                }
            }
            out.push_back({Art::Zeichen, t});
        }
        i = j;
    }
    return out;
}

class Uebersetzer {
public:
    explicit Uebersetzer(const QString& sql) : m_t(Zerlegen(sql))
    {
        // Drop a trailing ";" (and what follows it, which can only be blank).
        while (!m_t.empty() && (m_t.back().art == Art::Leer || m_t.back().zeichen(";"))) m_t.pop_back();
        m_partner.assign(m_t.size(), -1);
        std::vector<int> offen;
        for (int i = 0; i < int(m_t.size()); ++i) {
            if (m_t[size_t(i)].zeichen("(")) {
                offen.push_back(i);
            } else if (m_t[size_t(i)].zeichen(")") && !offen.empty()) {
                m_partner[size_t(offen.back())] = i;
                m_partner[size_t(i)] = offen.back();
                offen.pop_back();
            }
        }
    }

    Uebersetzung Ergebnis()
    {
        Uebersetzung u;
        u.sql = Ausgeben(0, int(m_t.size()));
        u.parameter = m_parameter;
        return u;
    }

private:
    const Token& T(int i) const { return m_t[size_t(i)]; }
    int N() const { return int(m_t.size()); }

    int Naechstes(int i, int ende) const
    {
        while (i < ende && T(i).art == Art::Leer) ++i;
        return i;
    }

    // After the token at i, jumping over a bracketed group.
    int Hinter(int i) const { return T(i).zeichen("(") && m_partner[size_t(i)] > i ? m_partner[size_t(i)] + 1 : i + 1; }

    // One operand of a multiplication: [-] a number, a parameter, a name
    // (qualified), a call, or a bracketed expression.
    int Primaer(int i, int ende) const
    {
        i = Naechstes(i, ende);
        if (i < ende && (T(i).zeichen("-") || T(i).zeichen("+"))) i = Naechstes(i + 1, ende);
        if (i >= ende) return ende;
        if (T(i).zeichen("(")) return std::min(Hinter(i), ende);
        if (T(i).art == Art::Name || T(i).art == Art::Bezeichner) {
            int k = i + 1;
            for (;;) {
                int p = Naechstes(k, ende);
                if (p < ende && T(p).zeichen(".")) {
                    int q = Naechstes(p + 1, ende);
                    if (q < ende && (T(q).art == Art::Name || T(q).art == Art::Bezeichner || T(q).zeichen("*"))) {
                        k = q + 1;
                        continue;
                    }
                }
                if (p < ende && T(p).zeichen("(")) return std::min(Hinter(p), ende);
                return k;
            }
        }
        return i + 1;
    }

    static bool Stopper(const Token& t)
    {
        static const char* const worte[] = {"and", "or", "escape", "then", "else", "end", "when", "order", "group",
                                            "having", "limit", "offset", "union", "is", "between", "in", "like",
                                            "from", "where", "as", "not"};
        if (t.art == Art::Name) {
            for (const char* w : worte)
                if (t.ist(w)) return true;
            return false;
        }
        static const char* const zeichen[] = {",", ";", "=", "==", "<", ">", "<=", ">=", "<>", "!=", ")"};
        for (const char* z : zeichen)
            if (t.zeichen(z)) return true;
        return false;
    }

    // The pattern of a like: everything up to the next word or sign that binds less.
    int Muster(int i, int ende) const
    {
        i = Naechstes(i, ende);
        const int start = i;
        while (i < ende && !Stopper(T(i))) i = Hinter(i);
        while (i > start && T(i - 1).art == Art::Leer) --i;
        return i;
    }

    bool IstBedingung(int von, int bis) const
    {
        static const char* const worte[] = {"and", "or", "not", "is", "like", "between", "in", "exists"};
        static const char* const zeichen[] = {"=", "==", "<", ">", "<=", ">=", "<>", "!="};
        for (int i = von; i < bis; i = Hinter(i)) {
            for (const char* w : worte)
                if (T(i).ist(w)) return true;
            for (const char* z : zeichen)
                if (T(i).zeichen(z)) return true;
        }
        return false;
    }

    // Splits [von, bis) at the commas outside brackets.
    std::vector<std::pair<int, int>> Teile(int von, int bis) const
    {
        std::vector<std::pair<int, int>> out;
        int start = von;
        for (int i = von; i < bis; i = Hinter(i)) {
            if (T(i).zeichen(",")) {
                out.push_back({start, i});
                start = i + 1;
            }
        }
        out.push_back({start, bis});
        return out;
    }

    QString Parameter(const QString& name)
    {
        if (name.startsWith(QLatin1Char('?'))) {
            const int nr = name.mid(1).toInt();
            if (nr <= 0) {
                m_parameter << QString();
                return QStringLiteral("$%1").arg(m_parameter.size());
            }
            while (m_parameter.size() < nr) m_parameter << QString();
            return QStringLiteral("$%1").arg(nr);
        }
        int nr = -1;
        if (!name.isEmpty()) nr = int(m_parameter.indexOf(name));
        if (nr < 0) {
            m_parameter << name;
            nr = int(m_parameter.size()) - 1;
        }
        return QStringLiteral("$%1").arg(nr + 1);
    }

    QString Ordnung(int von, int bis)
    {
        QString out;
        bool erstes = true;
        for (const auto& [a, b] : Teile(von, bis)) {
            if (!erstes) out += QLatin1Char(',');
            erstes = false;
            bool hatNulls = false;
            int letztes = -1;
            for (int i = a; i < b; i = Hinter(i)) {
                if (T(i).ist("nulls")) hatNulls = true;
                if (T(i).art != Art::Leer) letztes = i;
            }
            // Keep the blank after the item in front of the next keyword.
            int inhaltEnde = letztes < 0 ? b : Hinter(letztes);
            out += Ausgeben(a, inhaltEnde);
            if (!hatNulls && letztes >= 0)
                out += T(letztes).ist("desc") ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
            out += Ausgeben(inhaltEnde, b);
        }
        return out;
    }

    QString Ausgeben(int von, int bis)
    {
        QString out;
        int i = von;
        while (i < bis) {
            const Token& t = T(i);
            if (t.zeichen("(")) {
                const int p = m_partner[size_t(i)];
                if (p > i && p < bis) {
                    out += QLatin1Char('(') + Ausgeben(i + 1, p) + QLatin1Char(')');
                    i = p + 1;
                    continue;
                }
                out += t.text;
                ++i;
                continue;
            }
            if (t.ist("iif")) {
                const int k = Naechstes(i + 1, bis);
                if (k < bis && T(k).zeichen("(") && m_partner[size_t(k)] > k && m_partner[size_t(k)] < bis) {
                    const int p = m_partner[size_t(k)];
                    const auto teile = Teile(k + 1, p);
                    if (teile.size() == 3) {
                        const auto [ca, cb] = teile[0];
                        QString bedingung = Ausgeben(ca, cb).trimmed();
                        if (!IstBedingung(ca, cb)) bedingung = QStringLiteral("(%1) <> 0").arg(bedingung);
                        out += QStringLiteral("CASE WHEN %1 THEN %2 ELSE %3 END")
                                   .arg(bedingung, Ausgeben(teile[1].first, teile[1].second).trimmed(),
                                        Ausgeben(teile[2].first, teile[2].second).trimmed());
                        i = p + 1;
                        continue;
                    }
                }
            }
            if (t.ist("like")) {
                const int a = Naechstes(i + 1, bis);
                const int e = std::min(Muster(i + 1, bis), bis);
                out += QStringLiteral("ILIKE (%1) COLLATE %2").arg(Ausgeben(a, e).trimmed(), LikeSortierung());
                const int n = Naechstes(e, bis);
                if (!(n < bis && T(n).ist("escape"))) out += QStringLiteral(" ESCAPE ''");
                i = e;
                continue;
            }
            if (t.zeichen("/")) {
                const int a = Naechstes(i + 1, bis);
                const int e = std::min(Primaer(i + 1, bis), bis);
                out += QStringLiteral("/NULLIF(%1, 0)").arg(Ausgeben(a, e).trimmed());
                i = e;
                continue;
            }
            if (t.ist("is")) {
                // "a IS b" compares with NULL equal to NULL.
                const int k = Naechstes(i + 1, bis);
                const bool nicht = k < bis && T(k).ist("not");
                const int m = nicht ? Naechstes(k + 1, bis) : k;
                if (m < bis && !T(m).ist("null") && !T(m).ist("distinct")) {
                    out += nicht ? QStringLiteral("IS DISTINCT FROM") : QStringLiteral("IS NOT DISTINCT FROM");
                    i = nicht ? k + 1 : i + 1;
                    continue;
                }
            }
            if (t.ist("order")) {
                const int b = Naechstes(i + 1, bis);
                if (b < bis && T(b).ist("by")) {
                    int e = b + 1;
                    while (e < bis && !(T(e).ist("limit") || T(e).ist("offset") || T(e).ist("union") ||
                                        T(e).ist("fetch") || T(e).ist("for") || T(e).zeichen(";")))
                        e = Hinter(e);
                    e = std::min(e, bis);
                    for (int k = i; k <= b; ++k) out += T(k).text;
                    out += Ordnung(b + 1, e);
                    i = e;
                    continue;
                }
            }
            switch (t.art) {
            case Art::Parameter: out += Parameter(t.text); break;
            case Art::Name:
                if (t.ist("true")) out += QStringLiteral("-1");
                else if (t.ist("false")) out += QStringLiteral("0");
                // The connection's own temporary tables.
                else if (t.ist("temp") && i + 1 < bis && T(i + 1).zeichen(".")) out += QStringLiteral("pg_temp");
                else out += t.text;
                break;
            case Art::Zeichen: out += t.zeichen("==") ? QStringLiteral("=") : t.text; break;
            default: out += t.text; break;
            }
            ++i;
        }
        return out;
    }

    std::vector<Token> m_t;
    std::vector<int> m_partner;
    QStringList m_parameter;
};

}  // namespace

QString LikeSortierung() { return QStringLiteral("\"und-x-icu\""); }

Uebersetzung NachPostgres(const QString& sql) { return Uebersetzer(sql).Ergebnis(); }

}  // namespace server
