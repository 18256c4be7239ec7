// The OLE automation date: days since 30 December 1899 with the time as fraction.
#pragma once

#include "services/text_types.h"

namespace oc {

struct CivilDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

DateTime makeDateTime(const CivilDateTime& civil);
CivilDateTime civilFromDateTime(DateTime value);  // rounded to the nearest second
DateTime currentDateTime();                       // local date and time

}  // namespace oc
