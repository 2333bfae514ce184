// A position or velocity as one value, so that geometry reads as r - site
// rather than as three parallel lines of x, y and z.
#pragma once

#include <cmath>

namespace tavik {

struct Vector3 {
    double X = 0, Y = 0, Z = 0;
};

inline Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
inline Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
inline Vector3 operator-(const Vector3& a) { return {-a.X, -a.Y, -a.Z}; }
inline Vector3 operator*(double k, const Vector3& a) { return {k * a.X, k * a.Y, k * a.Z}; }

inline double Dot(const Vector3& a, const Vector3& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }

inline Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

inline double Length(const Vector3& a) { return std::sqrt(Dot(a, a)); }

// Radians, 0 to pi; through the arctangent, which stays accurate for nearly
// parallel and nearly opposite vectors where the arccosine of the dot product
// does not.
inline double AngleBetween(const Vector3& a, const Vector3& b) { return std::atan2(Length(Cross(a, b)), Dot(a, b)); }

} // namespace tavik
