#pragma once
// QScintilla's headers use Qt's signal and slot keywords, which this program
// keeps switched off; they are lent to those headers only.
#define signals Q_SIGNALS
#define slots Q_SLOTS
#include <Qsci/qscilexercustom.h>
#include <Qsci/qsciscintilla.h>
#undef signals
#undef slots
