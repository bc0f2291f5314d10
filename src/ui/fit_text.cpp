#include "fit_text.h"

#include <QFont>
#include <QFontMetrics>
#include <vector>

namespace quill {

namespace {

const QString kEllipsis = QStringLiteral("...");

// UTF-16 offsets at which each character (code point) ends, so that a prefix
// never splits a surrogate pair.
std::vector<qsizetype> CharacterEnds(const QString& text) {
    std::vector<qsizetype> ends;
    ends.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ends.push_back(i + 1);
    }
    return ends;
}

QString Candidate(const QString& text, qsizetype end) {
    QString candidate;
    candidate.reserve(end + kEllipsis.size());
    candidate.append(QStringView(text).left(end));
    candidate.append(kEllipsis);
    return candidate;
}

// Scripts the text engine lays out without shaping when the font asks for no
// shaping (only complex scripts are always shaped).
bool IsUnshapedScript(QChar::Script script) {
    switch (script) {
    case QChar::Script_Unknown:
    case QChar::Script_Inherited:
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
        return true;
    default:
        return false;
    }
}

// True when every candidate's width is the sum of its characters' advances, each
// non-negative: no kerning, no ligatures, no spacing adjustments, no complex script.
// Then a longer candidate is never narrower, and the fitting candidates are exactly
// the shortest ones up to some length.
bool WidthsGrowWithLength(const QString& text, const QFont& font) {
    if (font.kerning() || !(font.styleStrategy() & QFont::PreferNoShaping))
        return false;
    if (font.letterSpacing() != 0 || font.wordSpacing() != 0 ||
        font.capitalization() != QFont::MixedCase)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ucs = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            ucs = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (!IsUnshapedScript(QChar::script(ucs)))
            return false;
    }
    return true;
}

} // namespace

QString FitTextToWidth(const QString& text, const TextWidthFn& measure, int width) {
    QString result;
    for (qsizetype end : CharacterEnds(text)) {
        QString candidate = Candidate(text, end);
        if (measure(candidate) <= width)
            result = candidate;
    }
    if (measure(text) <= width)
        result = text;
    return result;
}

QString FitTextToWidth(const QString& text, const QFontMetrics& metrics, int width) {
    return FitTextToWidth(
        text, [&metrics](const QString& s) { return metrics.horizontalAdvance(s); }, width);
}

QString FitTextToWidthFast(const QString& text, const QFont& font, const QFontMetrics& metrics,
                           int width) {
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const std::vector<qsizetype> ends = CharacterEnds(text);
    auto fits = [&](size_t n) {
        return metrics.horizontalAdvance(Candidate(text, ends[n - 1])) <= width;
    };
    if (WidthsGrowWithLength(text, font)) {
        // Fitting lengths form a range 1..best: binary search for its end.
        size_t lo = 0, hi = ends.size(); // fits(lo) (or lo == 0), answer <= hi
        while (lo < hi) {
            const size_t mid = lo + (hi - lo + 1) / 2;
            if (fits(mid))
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo == 0 ? QString() : Candidate(text, ends[lo - 1]);
    }
    // Widths may shrink as the prefix grows: the longest fitting one is the answer.
    for (size_t n = ends.size(); n >= 1; --n) {
        if (fits(n))
            return Candidate(text, ends[n - 1]);
    }
    return QString();
}

QString DecodeTitle(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace quill
