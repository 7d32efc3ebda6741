#pragma once

#include <string>

// Number formatting for parameter texts. Any thread.
//
// formatNumber: "INF" and "-INF" for infinities. A format beginning with "*" asks for a fixed number
// of significant digits: "*3f" prints 1.234, 12.34, 123.4 and 1234; an optional "+" after the star
// forces the sign. Any other format is a printf format for one double. A result without any digit
// other than 0 loses its minus sign, so -0.0004 with "%.2f" reads "0.00".
std::string formatNumber(double x, const std::string& format);

// Hertz with three decimals, fewer as the value grows: 45.500, 440.0, 12000. Never kilohertz.
std::string formatFrequency(float hz);

// Decibels with sign and two decimals (+3.00, -12.50); "0.00" at 0 and "-INF" at -179.9 or below.
std::string formatDecibels(float db);
