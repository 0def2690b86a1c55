// Tuning constants of the physics engine (metres, radians, seconds). They are
// fixed at compile time and shared by every phase of a step.
#pragma once

#include <cstdint>

inline constexpr float phMaxFloat = 3.402823466e+38f;
inline constexpr float phEpsilon = 1.1920929e-7f;
inline constexpr float phEpsilonSquared = 1.4210855e-14f;
inline constexpr float phPi = 3.1415927f;

// Collision tolerances.
inline constexpr float phLinearSlop = 0.005f;
inline constexpr float phAngularSlop = 0.03490659f;
inline constexpr float phPolygonRadius = 2.0f * phLinearSlop;
inline constexpr float phEdgePolygonRadius = 2.0f * phPolygonRadius;
inline constexpr float phReferenceFaceTolerance = 0.1f * phLinearSlop;
inline constexpr float phEdgeAxisRelativeTolerance = 0.98f;
inline constexpr float phEdgeAxisAbsoluteTolerance = 0.001f;
inline constexpr int32_t phMaxPolygonVertices = 8;
inline constexpr int32_t phMaxManifoldPoints = 2;

// Broad phase.
inline constexpr float phFatBoxMargin = 0.1f;
inline constexpr float phFatBoxDisplacementMultiplier = 2.0f;

// Solver.
inline constexpr float phVelocityThreshold = 1.0f;
inline constexpr float phBaumgarte = 0.2f;
inline constexpr float phToiBaumgarte = 0.75f;
inline constexpr float phMaxLinearCorrection = 0.2f;
inline constexpr float phMaxTranslation = 2.0f;
inline constexpr float phMaxTranslationSquared = phMaxTranslation * phMaxTranslation;
inline constexpr float phMaxRotation = 0.5f * phPi;
inline constexpr float phMaxRotationSquared = phMaxRotation * phMaxRotation;
inline constexpr float phMaxConditionNumber = 1000.0f;
inline constexpr float phPositionSolvedSeparation = -3.0f * phLinearSlop;
inline constexpr float phToiPositionSolvedSeparation = -1.5f * phLinearSlop;

// Sleeping.
inline constexpr float phTimeToSleep = 0.5f;
inline constexpr float phLinearSleepTolerance = 0.01f;
inline constexpr float phLinearSleepToleranceSquared = 1e-4f;
inline constexpr float phAngularSleepToleranceSquared = 0.0012184699f;

// Sensors touch below this distance.
inline constexpr float phSensorTouchingDistance = 10.0f * phEpsilon;

// Distance and time of impact.
inline constexpr int32_t phMaxDistanceIterations = 20;
inline constexpr int32_t phMaxToiIterations = 20;
inline constexpr int32_t phMaxToiRootSteps = 50;
inline constexpr float phToiTolerance = 0.25f * phLinearSlop;

// Continuous collision.
inline constexpr int32_t phMaxSubSteps = 8;
inline constexpr int32_t phMaxToiContacts = 32;
inline constexpr int32_t phMaxToiBodies = 64;
inline constexpr int32_t phToiPositionIterations = 20;
inline constexpr float phToiEndFraction = 1.0f - 10.0f * phEpsilon;

// Particle iteration estimate.
inline constexpr float phParticleStride = 0.01f;
inline constexpr int32_t phMaxParticleIterations = 8;
