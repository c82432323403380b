// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A complex double, real part first. Plain arithmetic on purpose: std::complex multiplies
// through a NaN-checking library call unless fast-math is on, which the per-sample ring
// loop cannot afford.
struct Complex
{
    double re = 0.0;
    double im = 0.0;
};

inline Complex operator+(Complex a, Complex b)
{
    return {a.re + b.re, a.im + b.im};
}
inline Complex operator-(Complex a, Complex b)
{
    return {a.re - b.re, a.im - b.im};
}
inline Complex operator*(Complex a, Complex b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
inline Complex operator*(double s, Complex a)
{
    return {s * a.re, s * a.im};
}
inline Complex conj(Complex a)
{
    return {a.re, -a.im};
}
// Multiplication by the imaginary unit.
inline Complex timesI(Complex a)
{
    return {-a.im, a.re};
}
