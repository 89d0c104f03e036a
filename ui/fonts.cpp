#include "ui/fonts.h"

#include <QGuiApplication>
#include <QFontDatabase>

namespace solvari {

namespace {

// Outlines as drawn, without the auto-hinter: before a face's first use it measures the face
// on a hundred reference glyphs, which costs start-up time and maps megabytes of a Japanese
// font file, and on these faces its light hinting changes next to nothing on screen.
constexpr QFont::HintingPreference kHinting = QFont::PreferNoHinting;

struct Stand {
    const char* face;
    QStringList candidates;  // best first
};

}  // namespace

QString bareFamily(const QString& family) {
    const qsizetype bracket = family.indexOf(QStringLiteral(" ["));
    return bracket < 0 ? family : family.left(bracket);
}

QString firstPresentFamily(const QStringList& candidates, const QStringList& families) {
    for (const QString& wanted : candidates)
        for (const QString& family : families)
            if (bareFamily(family).compare(wanted, Qt::CaseInsensitive) == 0) return bareFamily(family);
    return {};
}

namespace {
// Face → stand-in family, as installFontSubstitutions found them.
QMap<QString, QString>& standIns() {
    static QMap<QString, QString> map;
    return map;
}
}  // namespace

QMap<QString, QString> installFontSubstitutions() {
    // fontconfig may list a Japanese font under its localised name as well, so both are tried.
    const Stand stands[] = {
        {"ＭＳ Ｐゴシック", {"IPAPGothic", "IPA Pゴシック", "IPAexGothic", "Noto Sans CJK JP"}},
        {"ＭＳ ゴシック", {"IPAGothic", "IPAゴシック", "IPAexGothic", "Noto Sans Mono CJK JP"}},
        {"ＭＳ 明朝", {"IPAMincho", "IPA明朝", "IPAexMincho", "Noto Serif CJK JP"}},
        {"Bookman Old Style", {"URW Bookman", "URW Bookman L", "Bookman URW", "TeX Gyre Bonum"}},
        // the printed sheets' equations: the schoolbook face of textbooks
        {"Century", {"C059", "Century Schoolbook L", "TeX Gyre Schola", "URW Bookman"}},
    };
    const QStringList families = QFontDatabase::families();
    QMap<QString, QString> installed;
    for (const Stand& s : stands) {
        const QString family = firstPresentFamily(s.candidates, families);
        if (family.isEmpty()) continue;
        const QString face = QString::fromUtf8(s.face);
        QFont::insertSubstitution(face, family);
        installed.insert(face, family);
    }
    standIns() = installed;
    return installed;
}

void useUiFace(const QMap<QString, QString>& installed) {
    const QString family = installed.value(QString::fromUtf8("ＭＳ Ｐゴシック"));
    if (family.isEmpty()) return;
    QFont font = QGuiApplication::font();
    font.setFamilies({family});
    font.setHintingPreference(kHinting);
    QGuiApplication::setFont(font);
}

QFont faceFont(const QString& face) {
    QFont f(standIns().value(face, face));
    f.setHintingPreference(kHinting);
    return f;
}

QFont qfontFor(const FontSpec& font) {
    QFont f = faceFont(QString::fromStdString(font.face));
    f.setPixelSize(font.pixelSize > 0 ? font.pixelSize : 1);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    return f;
}

}  // namespace solvari
