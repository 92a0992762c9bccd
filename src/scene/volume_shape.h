// The shells in which the star field and the particle system scatter points,
// and the rejection sampling both of them use.
//
// half is the outer half-extent (cube) or radius (balls), innerHalf the
// half-extent or radius of the hollow, both in world units. Candidates are
// uniform in the cube [-half, half)^3.
#pragma once

// 1 cube shell, 2 upper half-ball shell (y >= 0), any other value ball shell.
using VolumeShape = int;
constexpr VolumeShape cubeShell = 1;
constexpr VolumeShape upperHalfBallShell = 2;
constexpr VolumeShape ballShell = 3;

// Candidates tried for one point before sampling gives up. The scene's
// shells accept about one candidate in four; the limit only stops shells that
// accept none, or so few that a build would never end (a hollow at or beyond
// the outer bound, or a shell thinner than the candidates' 1/16384 spacing).
constexpr int shellAttemptLimit = 1 << 20;

struct ShellPoint {
    double x;
    double y;
    double z;
};

// A shell whose hollow reaches its outer bound accepts no candidate (or, at
// the bound itself, only isolated lattice points); the elements refuse it.
inline bool shellIsOpen(float half, float innerHalf) { return innerHalf < half; }

// Draws candidates until one lies in the shell: three randomUniform(2.0)
// draws per candidate, in the order x, y, z, each (u - 1) * half. At least one
// candidate is drawn. Returns false, leaving point unspecified, when
// shellAttemptLimit candidates were all rejected.
//   Cube shell: accepted once a coordinate has magnitude innerHalf or more.
//   Balls: accepted when innerHalf^2 <= x^2 + y^2 + z^2 <= half^2, and for the
//   upper half-ball also y >= 0.
bool drawShellPoint(VolumeShape shape, float half, float innerHalf, ShellPoint& point);
