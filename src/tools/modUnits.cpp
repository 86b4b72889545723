#include "tools/modUnits.h"

#include "platform/conversions.h"
#include "platform/errors.h"

#include <QComboBox>
#include <cmath>

namespace vt {

int16_t idx2ScaleMode(int16_t index)
{
    switch (index) {
    case 0: return vbCharacters;
    case 1: return vbInches;
    case 2: return vbMillimeters;
    case 3: return vbCentimeters;
    case 4: return vbPoints;
    case 5: return vbTwips;
    case 6: return vbUser;
    case 7: return vbPixels;
    case 8: return vbHimetric;
    case 9: return vbContainerPosition;
    case 10: return vbContainerSize;
    default: return vbCharacters;
    }
}

int16_t scaleMode2Idx(int16_t code)
{
    switch (code) {
    case vbCharacters: return 0;
    case vbInches: return 1;
    case vbMillimeters: return 2;
    case vbCentimeters: return 3;
    case vbPoints: return 4;
    default: return 0;
    }
}

QString idx2UnitName(int16_t index)
{
    switch (index) {
    case 1: return QStringLiteral("Inches");
    case 2: return QStringLiteral("Millimeters");
    case 3: return QStringLiteral("Centimeters");
    case 4: return QStringLiteral("Points");
    default: return QStringLiteral("Characters");
    }
}

double twipsPerUnit(int16_t index)
{
    switch (index) {
    case 1: return 1440.0;
    case 2: return 1440.0 / 25.4;
    case 3: return 14400.0 / 25.4;
    case 4: return 20.0;
    default: return 120.0;
    }
}

QString showLength(int twips, int16_t index) { return Format(twips / twipsPerUnit(index), QStringLiteral("#0.00")); }

int16_t lengthTwips(double value, int16_t index) { return CInt(value * twipsPerUnit(index)); }

double maxLength(int16_t index) { return std::floor(32767.0 / twipsPerUnit(index) * 100.0) / 100.0; }

double spinStep(int16_t index)
{
    switch (index) {
    case 1: return 0.01;
    case 2: return 0.5;
    case 3: return 0.05;
    case 4: return 1.0;
    default: return 0.1;
    }
}

void fillUnitList(QComboBox *list, int16_t code)
{
    list->clear();
    for (int16_t i = 0; i <= 4; ++i)
        list->addItem(idx2UnitName(i));
    list->setCurrentIndex(scaleMode2Idx(code));
}

} // namespace vt
