#include "text/com_init.h"

namespace oc {
namespace {

thread_local int initDepth = 0;

}  // namespace

bool coInitialize() {
    return ++initDepth == 1;
}

void coUninitialize() {
    if (initDepth > 0) {
        --initDepth;
    }
}

int comInitDepth() {
    return initDepth;
}

}  // namespace oc
