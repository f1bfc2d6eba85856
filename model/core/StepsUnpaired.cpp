// The Newtonian and one-variable fifth-order steps' one definition, compiled without vector
// pairs (see RKFStepOutOfLine and this file's flags in CMakeLists.txt).
#include "model/core/Steppers.h"

VX_RKF_UNPAIRED_STEPS(VX_RKF_INSTANTIATE)
