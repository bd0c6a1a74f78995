#pragma once

// The power rule of the measure formulas: y = 0 gives 1 for every x (0^0 = 1);
// x = 0 with y > 0 gives 0; an integer y is applied by repeated multiplication
// (a negative one divides 1 by the power); otherwise exp(y * ln x), which is
// NaN for a negative x.

namespace tavora {

[[nodiscard]] double Power(double x, double y);

}  // namespace tavora
