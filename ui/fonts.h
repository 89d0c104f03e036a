#pragma once
#include <QFont>
#include <QMap>
#include <QString>
#include <QStringList>

#include "transform/canvas.h"

namespace solvari {

// Maps the Windows face names onto the fonts present here: ＭＳ Ｐゴシック → IPAPGothic,
// ＭＳ ゴシック → IPAGothic, ＭＳ 明朝 → IPAMincho, Bookman Old Style → URW Bookman, Century (the
// printed sheets' equations) → C059. A face whose stand-ins are all missing gets no
// substitution and Qt falls back to its default font.
// Call once after the QApplication exists. Returns face → family actually used.
QMap<QString, QString> installFontSubstitutions();

// Makes the stand-in of ＭＳ Ｐゴシック (the windows' own face) the application font, at the
// platform's size, so Japanese labels find their glyphs without a fallback search. Does nothing
// when that face has no stand-in.
void useUiFace(const QMap<QString, QString>& installed);

// The first candidate that QFontDatabase lists, compared without a " [foundry]" suffix and
// ignoring case; empty when none is present.
QString firstPresentFamily(const QStringList& candidates, const QStringList& families);

// A family name without its " [foundry]" suffix ("URW Bookman [UKWN]" → "URW Bookman").
QString bareFamily(const QString& family);

// The Qt font for a Windows face name: the family of its stand-in when there is one (asked for
// by a face name, Qt would first search the whole font list for it in vain, once per script,
// which cost the start-up a third of its font work), else the face itself; no hinting.
QFont faceFont(const QString& face);

// The Qt font for a FontSpec: face, pixel size, bold, italic.
QFont qfontFor(const FontSpec& font);

}  // namespace solvari
