// The public header as the first and only include of a translation unit: it must
// bring everything it needs itself.
#include "TAPIInterface.h"

TAPIInterface* PublicHeaderAloneInstance() { return TAPIInterface::Instance(); }
