// The chronograph's own menus, driven from the PC: moving the unit's menu
// cursor to a cell, reading the cell's value, stepping it, and the ON/OFF
// settings built on them.
//
// A cell is (side, column, row), side 1 the data menu and 2 the statistics
// menu, coded 100 * side + 10 * column + row (CroLnk.croMenVal). Every menu
// answer ends with the prompt "MEN><DAT> " or "MEN><STS> ", the column and
// row digits and "?", and the line "VAL=" value just before it (ON, OFF or a
// decimal number). The keys: plain "D" or "S" then "M" open a side's menu,
// Ctrl-U/D move the row up/down, Ctrl-L/R the column, Ctrl-K/O step the
// value up/down (an ON/OFF cell toggles), Ctrl-M confirms the stepped value.
//
// Every procedure returns false with CroLnk.croErr set when the unit did not
// answer as it should; the caller holds the busy lock around them.
#pragma once

#include <QString>
#include <cstdint>

namespace vt {

// The cell the last answer left the unit's menu on, read from its prompt
// (also into CroLnk.croMenVal and croMenPos); 0 when the last answer was not
// a menu prompt. Sends nothing.
int16_t getMenPos();
// The value of the cell as the last answer showed it ("ON", "OFF" or the
// number's digits); empty when it showed none. Sends nothing.
QString getMenVal();
// Moves the unit's menu to the cell: into the side's menu first unless the
// unit already stands in it, then column and row one key at a time, each
// answer checked for the position it reached.
bool gotoMenPos(int16_t side, int16_t column, int16_t row);
// Steps the value of the cell the menu stands on up (up non-zero, Ctrl-K)
// or down (Ctrl-O) and confirms it; getMenVal() then gives the new value.
bool stpMenVal(int16_t up);
// Sets an ON/OFF cell: moves there and steps it until it reads "ON" (on
// non-zero) or "OFF", confirmed. The status record no longer holds (croStaOk
// False). The unit stays in the menu.
bool setMenOnOff(int16_t side, int16_t column, int16_t row, int16_t on);
// Sensors (1,0,0), archery (1,0,1), rapid fire (1,0,3): set through their
// cells, the record's flag set to match, and the unit taken back to the data
// side's prompt, also when they fail (leaveCroMenu).
bool setSnsOnOff(int16_t on);
bool setArcOnOff(int16_t on);
bool setRFirOnOff(int16_t on);

// For an operation that gives up inside the unit's menu: takes the unit back
// to its data prompt with the keys that leave a menu, plain "D" and, when
// that brings no data prompt, ESC and "D". The first "D" waits as long as a
// whole answer may take, so that a late answer to the key that failed comes
// in here, while Shoot mode is still held off, and not into the CFile. True
// when the unit answered with its data prompt. The failure that led here
// stays in CroLnk (croErr set, croLinkErr its code).
bool leaveCroMenu();

} // namespace vt
