// Sine, cosine and tangent as the x87 unit computes them, which is what the
// reference player's numbers show: the unit reduces its argument with a
// 66-bit approximation of pi, so Math.sin(Math.PI) is 1.22460635382238e-16,
// not the 1.22464679914735e-16 of an exact reduction, and large arguments
// drift further. Where there is no x87 unit the library functions stand in.
#pragma once

namespace lumbra::movie {

double x87Sin(double x);
double x87Cos(double x);
double x87Tan(double x);

} // namespace lumbra::movie
