// The measurement units of the margins and tab-stops dialogs: the unit list,
// the scale-mode codes it is stored as, and lengths shown in the chosen unit.
// Lengths are kept in twips (1/1440 inch) in 16-bit integers everywhere; the
// unit only decides how a length is shown and typed.
#pragma once

#include <QString>
#include <cstdint>

class QComboBox;

namespace vt {

// Scale-mode codes of a window's coordinate unit.
enum ScaleMode : int16_t {
    vbUser = 0, vbTwips = 1, vbPoints = 2, vbPixels = 3, vbCharacters = 4, vbInches = 5,
    vbMillimeters = 6, vbCentimeters = 7, vbHimetric = 8, vbContainerPosition = 9, vbContainerSize = 10,
};

// List index -> scale-mode code: 0..4 are Characters, Inches, Millimeters,
// Centimeters, Points; 5..10 map to the remaining codes; anything else 4.
int16_t idx2ScaleMode(int16_t index);
// Scale-mode code -> list index; a code outside the five gives 0 (Characters).
int16_t scaleMode2Idx(int16_t code);
// List index -> unit name; anything outside 1..4 is "Characters".
QString idx2UnitName(int16_t index);

// Twips in one unit of a list entry (index 0..4; anything else: characters,
// 120 twips, a character cell's width).
double twipsPerUnit(int16_t index);
// A length in twips as the dialogs show it in a unit: two decimals.
QString showLength(int twips, int16_t index);
// A typed value in a unit to twips, rounded half to even; raises error 6 when
// the result does not fit a 16-bit integer.
int16_t lengthTwips(double value, int16_t index);
// The largest value that a field in that unit takes, to two decimals (22.75
// inches): rounding it to twips still fits.
double maxLength(int16_t index);
// What one click of a spin button adds in that unit.
double spinStep(int16_t index);

// Fills a unit list with the five names and selects the entry of `code`.
void fillUnitList(QComboBox *list, int16_t code);

} // namespace vt
