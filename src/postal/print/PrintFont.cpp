#include "postal/print/PrintFont.h"

#include <QFile>
#include <QFileInfo>

#include <fontconfig/fontconfig.h>

using namespace Qt::StringLiterals;

namespace PrintFont {

namespace {

QString familyOfPattern(FcPattern *pattern)
{
    FcChar8 *name = nullptr;
    return FcPatternGetString(pattern, FC_FAMILY, 0, &name) == FcResultMatch
               ? QString::fromUtf8(reinterpret_cast<const char *>(name))
               : QString();
}

}  // namespace

std::optional<QString> family(const QString &file, QString *why)
{
    if (!file.isEmpty()) {
        if (!QFileInfo(file).isFile()) {
            *why = file + (QFileInfo::exists(file) ? u": not a file"_s : u": no such file"_s);
            return std::nullopt;
        }
        const QByteArray path = QFile::encodeName(QFileInfo(file).absoluteFilePath());
        int count = 0;
        FcPattern *query = FcFreeTypeQuery(reinterpret_cast<const FcChar8 *>(path.constData()), 0, nullptr, &count);
        const QString name = query ? familyOfPattern(query) : QString();
        // A font without kana and kanji would leave every address to
        // whatever font the system puts in for it.
        FcCharSet *chars = nullptr;
        const bool japanese = query && FcPatternGetCharSet(query, FC_CHARSET, 0, &chars) == FcResultMatch
                              && FcCharSetHasChar(chars, 0x3042) && FcCharSetHasChar(chars, 0x6771);
        if (query)
            FcPatternDestroy(query);
        if (name.isEmpty() || !FcConfigAppFontAddFile(FcConfigGetCurrent(), reinterpret_cast<const FcChar8 *>(path.constData()))) {
            *why = file + u": not a font file that can be read"_s;
            return std::nullopt;
        }
        if (!japanese) {
            *why = file + u": a font without Japanese (no あ or 東 in it)"_s;
            return std::nullopt;
        }
        return name;
    }
    // Installed when asking for it finds it, not a stand-in.
    FcPattern *asked = FcNameParse(reinterpret_cast<const FcChar8 *>(kDefaultFamily));
    FcConfigSubstitute(nullptr, asked, FcMatchPattern);
    FcDefaultSubstitute(asked);
    FcResult result = FcResultNoMatch;
    FcPattern *found = FcFontMatch(nullptr, asked, &result);
    const QString name = found ? familyOfPattern(found) : QString();
    if (found)
        FcPatternDestroy(found);
    FcPatternDestroy(asked);
    if (name.compare(QLatin1String(kDefaultFamily), Qt::CaseInsensitive) != 0) {
        *why = u"the font IPAmincho is not installed (Debian: fonts-ipafont-mincho); give one with --font FILE"_s;
        return std::nullopt;
    }
    return name;
}

}  // namespace PrintFont
