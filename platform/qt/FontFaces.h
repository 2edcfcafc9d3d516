// Facts about installed font families that fontconfig knows but QFontDatabase does not state outright.
#pragma once

#include <QString>
#include <QStringList>

// Every half-width letter has one advance. fontconfig marks Japanese faces
// "dual" (half-width and full-width cells), which Qt does not count as fixed
// pitch, so the advances are measured with no other face standing in.
bool IsFixedPitchFamily(const QString& family);

// The family draws Japanese kana and kanji itself, each exactly two
// half-width cells wide.
bool IsJapaneseCellFamily(const QString& family);

// The faces tried first, in order, for Japanese text when the named face is missing.
QStringList PreferredJapaneseFamilies();

// The first installed family of PreferredJapaneseFamilies that is fixed pitch
// and a Japanese cell family, else the first other installed family that is;
// empty when none is installed. Looked up once per run.
QString JapaneseMonospaceFamily();
