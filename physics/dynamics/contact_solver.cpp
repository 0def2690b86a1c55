#include "physics/dynamics/contact_solver.h"

#include "physics/common/stack_allocator.h"
#include "physics/dynamics/body.h"
#include "physics/dynamics/contact.h"

#include <algorithm>

phContactSolver::phContactSolver(const phContactSolverDesc& desc)
    : m_step(desc.step), m_positions(desc.positions), m_velocities(desc.velocities),
      m_allocator(desc.allocator),
      m_positionBlocks(static_cast<phContactPositionBlock*>(
          m_allocator->Allocate(static_cast<int32_t>(sizeof(phContactPositionBlock)) * desc.count))),
      m_velocityBlocks(static_cast<phContactVelocityBlock*>(
          m_allocator->Allocate(static_cast<int32_t>(sizeof(phContactVelocityBlock)) * desc.count))),
      m_contacts(desc.contacts), m_count(desc.count)
{
    for (int32_t i = 0; i < m_count; ++i) {
        const phContact* const contact = m_contacts[i];
        const phFixture* const fixtureA = contact->GetFixtureA();
        const phFixture* const fixtureB = contact->GetFixtureB();
        const phBody* const bodyA = fixtureA->GetBody();
        const phBody* const bodyB = fixtureB->GetBody();
        const phLocalManifold* const manifold = contact->GetManifold();
        const int32_t pointCount = manifold->pointCount;

        phContactVelocityBlock& vc = m_velocityBlocks[i];
        vc.friction = contact->GetFriction();
        vc.restitution = contact->GetRestitution();
        vc.tangentSpeed = contact->GetTangentSpeed();
        vc.indexA = bodyA->m_islandIndex;
        vc.indexB = bodyB->m_islandIndex;
        vc.invMassA = bodyA->m_invMass;
        vc.invMassB = bodyB->m_invMass;
        vc.invIA = bodyA->m_invI;
        vc.invIB = bodyB->m_invI;
        vc.contactIndex = i;
        vc.pointCount = pointCount;
        vc.K.SetZero();
        vc.normalMass.SetZero();

        phContactPositionBlock& pc = m_positionBlocks[i];
        pc.indexA = bodyA->m_islandIndex;
        pc.indexB = bodyB->m_islandIndex;
        pc.invMassA = bodyA->m_invMass;
        pc.invMassB = bodyB->m_invMass;
        pc.localCenterA = bodyA->m_motion.localCenter;
        pc.localCenterB = bodyB->m_motion.localCenter;
        pc.invIA = bodyA->m_invI;
        pc.invIB = bodyB->m_invI;
        pc.localNormal = manifold->localNormal;
        pc.localPoint = manifold->localPoint;
        pc.pointCount = pointCount;
        pc.radiusA = fixtureA->GetShape()->m_radius;
        pc.radiusB = fixtureB->GetShape()->m_radius;
        pc.type = manifold->type;

        for (int32_t j = 0; j < pointCount; ++j) {
            const phManifoldPoint& cp = manifold->points[j];
            phVelocityPoint& vcp = vc.points[j];
            if (m_step.warmStarting) {
                vcp.normalImpulse = m_step.dtRatio * cp.normalImpulse;
                vcp.tangentImpulse = m_step.dtRatio * cp.tangentImpulse;
            } else {
                vcp.normalImpulse = 0.0f;
                vcp.tangentImpulse = 0.0f;
            }
            vcp.rA.SetZero();
            vcp.rB.SetZero();
            vcp.normalMass = 0.0f;
            vcp.tangentMass = 0.0f;
            vcp.velocityBias = 0.0f;
            pc.localPoints[j] = cp.localPoint;
        }
    }
}

phContactSolver::~phContactSolver()
{
    m_allocator->Free(m_velocityBlocks);
    m_allocator->Free(m_positionBlocks);
}

namespace {

phTransform TransformOf(const phSolverPosition& position, const phVector& localCenter)
{
    phTransform xf;
    xf.q.Set(position.a);
    xf.p = position.c - phMul(xf.q, localCenter);
    return xf;
}

} // namespace

void phContactSolver::InitializeVelocityConstraints()
{
    for (int32_t i = 0; i < m_count; ++i) {
        phContactVelocityBlock& vc = m_velocityBlocks[i];
        const phContactPositionBlock& pc = m_positionBlocks[i];
        const phLocalManifold* const manifold = m_contacts[vc.contactIndex]->GetManifold();

        const float mA = vc.invMassA;
        const float mB = vc.invMassB;
        const float iA = vc.invIA;
        const float iB = vc.invIB;
        const phVector cA = m_positions[vc.indexA].c;
        const phVector cB = m_positions[vc.indexB].c;
        const phVector vA = m_velocities[vc.indexA].v;
        const phVector vB = m_velocities[vc.indexB].v;
        const float wA = m_velocities[vc.indexA].w;
        const float wB = m_velocities[vc.indexB].w;

        const phTransform xfA = TransformOf(m_positions[vc.indexA], pc.localCenterA);
        const phTransform xfB = TransformOf(m_positions[vc.indexB], pc.localCenterB);
        phGlobalManifold world;
        phComputeWorldManifold(&world, *manifold, xfA, pc.radiusA, xfB, pc.radiusB);
        vc.normal = world.normal;
        const phVector tangent = phCross(vc.normal, 1.0f);

        for (int32_t j = 0; j < vc.pointCount; ++j) {
            phVelocityPoint& vcp = vc.points[j];
            vcp.rA = world.points[j] - cA;
            vcp.rB = world.points[j] - cB;

            const float rnA = phCross(vcp.rA, vc.normal);
            const float rnB = phCross(vcp.rB, vc.normal);
            const float kNormal = mA + mB + iA * rnA * rnA + iB * rnB * rnB;
            vcp.normalMass = kNormal > 0.0f ? 1.0f / kNormal : 0.0f;

            const float rtA = phCross(vcp.rA, tangent);
            const float rtB = phCross(vcp.rB, tangent);
            const float kTangent = mA + mB + iA * rtA * rtA + iB * rtB * rtB;
            vcp.tangentMass = kTangent > 0.0f ? 1.0f / kTangent : 0.0f;

            // Restitution acts only on approach faster than the threshold.
            vcp.velocityBias = 0.0f;
            const float vRel = phDot(vc.normal, vB + phCross(wB, vcp.rB) - vA - phCross(wA, vcp.rA));
            if (vRel < -phVelocityThreshold) {
                vcp.velocityBias = -vc.restitution * vRel;
            }
        }

        if (vc.pointCount == 2) {
            const phVelocityPoint& p1 = vc.points[0];
            const phVelocityPoint& p2 = vc.points[1];
            const float rn1A = phCross(p1.rA, vc.normal);
            const float rn1B = phCross(p1.rB, vc.normal);
            const float rn2A = phCross(p2.rA, vc.normal);
            const float rn2B = phCross(p2.rB, vc.normal);
            const float k11 = mA + mB + iA * rn1A * rn1A + iB * rn1B * rn1B;
            const float k22 = mA + mB + iA * rn2A * rn2A + iB * rn2B * rn2B;
            const float k12 = mA + mB + iA * rn1A * rn2A + iB * rn1B * rn2B;
            if (k11 * k11 < phMaxConditionNumber * (k11 * k22 - k12 * k12)) {
                vc.K.ex = {k11, k12};
                vc.K.ey = {k12, k22};
                vc.normalMass = vc.K.Inverse();
            } else {
                // Nearly redundant points: solve only the first.
                vc.pointCount = 1;
            }
        }
    }
}

void phContactSolver::WarmStart()
{
    for (int32_t i = 0; i < m_count; ++i) {
        const phContactVelocityBlock& vc = m_velocityBlocks[i];
        phSolverVelocity& velA = m_velocities[vc.indexA];
        phSolverVelocity& velB = m_velocities[vc.indexB];
        const phVector tangent = phCross(vc.normal, 1.0f);
        for (int32_t j = 0; j < vc.pointCount; ++j) {
            const phVelocityPoint& vcp = vc.points[j];
            const phVector P = vcp.normalImpulse * vc.normal + vcp.tangentImpulse * tangent;
            velA.w -= vc.invIA * phCross(vcp.rA, P);
            velA.v -= vc.invMassA * P;
            velB.w += vc.invIB * phCross(vcp.rB, P);
            velB.v += vc.invMassB * P;
        }
    }
}

void phContactSolver::SolveVelocityConstraints()
{
    for (int32_t i = 0; i < m_count; ++i) {
        phContactVelocityBlock& vc = m_velocityBlocks[i];
        const float mA = vc.invMassA;
        const float mB = vc.invMassB;
        const float iA = vc.invIA;
        const float iB = vc.invIB;
        phVector vA = m_velocities[vc.indexA].v;
        float wA = m_velocities[vc.indexA].w;
        phVector vB = m_velocities[vc.indexB].v;
        float wB = m_velocities[vc.indexB].w;
        const phVector normal = vc.normal;
        const phVector tangent = phCross(normal, 1.0f);

        // Friction first: its bound depends on the normal impulse.
        for (int32_t j = 0; j < vc.pointCount; ++j) {
            phVelocityPoint& vcp = vc.points[j];
            const phVector dv = vB + phCross(wB, vcp.rB) - vA - phCross(wA, vcp.rA);
            const float vt = phDot(dv, tangent) - vc.tangentSpeed;
            float lambda = vcp.tangentMass * -vt;
            const float maxFriction = vc.friction * vcp.normalImpulse;
            const float newImpulse = phClamp(vcp.tangentImpulse + lambda, -maxFriction, maxFriction);
            lambda = newImpulse - vcp.tangentImpulse;
            vcp.tangentImpulse = newImpulse;
            const phVector P = lambda * tangent;
            vA -= mA * P;
            wA -= iA * phCross(vcp.rA, P);
            vB += mB * P;
            wB += iB * phCross(vcp.rB, P);
        }

        if (vc.pointCount == 1) {
            phVelocityPoint& vcp = vc.points[0];
            const phVector dv = vB + phCross(wB, vcp.rB) - vA - phCross(wA, vcp.rA);
            const float vn = phDot(dv, normal);
            float lambda = -vcp.normalMass * (vn - vcp.velocityBias);
            const float newImpulse = std::max(vcp.normalImpulse + lambda, 0.0f);
            lambda = newImpulse - vcp.normalImpulse;
            vcp.normalImpulse = newImpulse;
            const phVector P = lambda * normal;
            vA -= mA * P;
            wA -= iA * phCross(vcp.rA, P);
            vB += mB * P;
            wB += iB * phCross(vcp.rB, P);
        } else {
            // Both points at once: find the accumulated impulses x >= 0 that solve
            // the linear complementarity problem vn = K x + b, trying each case.
            phVelocityPoint& cp1 = vc.points[0];
            phVelocityPoint& cp2 = vc.points[1];
            const phVector a(cp1.normalImpulse, cp2.normalImpulse);
            const phVector dv1 = vB + phCross(wB, cp1.rB) - vA - phCross(wA, cp1.rA);
            const phVector dv2 = vB + phCross(wB, cp2.rB) - vA - phCross(wA, cp2.rA);
            phVector b(phDot(dv1, normal) - cp1.velocityBias, phDot(dv2, normal) - cp2.velocityBias);
            b -= phMul(vc.K, a);

            phVector x;
            bool found = false;
            x = -phMul(vc.normalMass, b);
            if (x.x >= 0.0f && x.y >= 0.0f) {
                found = true;
            }
            if (!found) {
                x = {-cp1.normalMass * b.x, 0.0f};
                found = x.x >= 0.0f && vc.K.ex.y * x.x + b.y >= 0.0f;
            }
            if (!found) {
                x = {0.0f, -cp2.normalMass * b.y};
                found = x.y >= 0.0f && vc.K.ey.x * x.y + b.x >= 0.0f;
            }
            if (!found) {
                x = {0.0f, 0.0f};
                found = b.x >= 0.0f && b.y >= 0.0f;
            }
            if (found) {
                const phVector d = x - a;
                const phVector P1 = d.x * normal;
                const phVector P2 = d.y * normal;
                vA -= mA * (P1 + P2);
                wA -= iA * (phCross(cp1.rA, P1) + phCross(cp2.rA, P2));
                vB += mB * (P1 + P2);
                wB += iB * (phCross(cp1.rB, P1) + phCross(cp2.rB, P2));
                cp1.normalImpulse = x.x;
                cp2.normalImpulse = x.y;
            }
        }

        m_velocities[vc.indexA].v = vA;
        m_velocities[vc.indexA].w = wA;
        m_velocities[vc.indexB].v = vB;
        m_velocities[vc.indexB].w = wB;
    }
}

void phContactSolver::StoreImpulses()
{
    for (int32_t i = 0; i < m_count; ++i) {
        const phContactVelocityBlock& vc = m_velocityBlocks[i];
        phLocalManifold* const manifold = m_contacts[vc.contactIndex]->GetManifold();
        for (int32_t j = 0; j < vc.pointCount; ++j) {
            manifold->points[j].normalImpulse = vc.points[j].normalImpulse;
            manifold->points[j].tangentImpulse = vc.points[j].tangentImpulse;
        }
    }
}

namespace {

// Normal, point and separation of one manifold point at the solver positions.
struct PositionPoint
{
    phVector normal;
    phVector point;
    float separation;
};

PositionPoint ComputePositionPoint(const phContactPositionBlock& pc, const phTransform& xfA,
                                   const phTransform& xfB, int32_t index)
{
    PositionPoint out;
    switch (pc.type) {
    case phLocalManifold::circles: {
        const phVector pointA = phMul(xfA, pc.localPoint);
        const phVector pointB = phMul(xfB, pc.localPoints[0]);
        out.normal = pointB - pointA;
        out.normal.Normalize();
        out.point = 0.5f * (pointA + pointB);
        out.separation = phDot(pointB - pointA, out.normal) - pc.radiusA - pc.radiusB;
        break;
    }
    case phLocalManifold::faceA: {
        out.normal = phMul(xfA.q, pc.localNormal);
        const phVector planePoint = phMul(xfA, pc.localPoint);
        const phVector clipPoint = phMul(xfB, pc.localPoints[index]);
        out.separation = phDot(clipPoint - planePoint, out.normal) - pc.radiusA - pc.radiusB;
        out.point = clipPoint;
        break;
    }
    case phLocalManifold::faceB: {
        out.normal = phMul(xfB.q, pc.localNormal);
        const phVector planePoint = phMul(xfB, pc.localPoint);
        const phVector clipPoint = phMul(xfA, pc.localPoints[index]);
        out.separation = phDot(clipPoint - planePoint, out.normal) - pc.radiusA - pc.radiusB;
        out.point = clipPoint;
        out.normal = -out.normal; // from A to B
        break;
    }
    }
    return out;
}

} // namespace

bool phContactSolver::CorrectPositions(int32_t toiIndexA, int32_t toiIndexB, float baumgarte,
                                       float solvedSeparation)
{
    const bool subStep = toiIndexA >= 0;
    float minSeparation = 0.0f;
    for (int32_t i = 0; i < m_count; ++i) {
        const phContactPositionBlock& pc = m_positionBlocks[i];
        const int32_t indexA = pc.indexA;
        const int32_t indexB = pc.indexB;
        // In a sub-step only the two bodies of the impact move.
        float mA = pc.invMassA;
        float iA = pc.invIA;
        float mB = pc.invMassB;
        float iB = pc.invIB;
        if (subStep) {
            if (indexA != toiIndexA && indexA != toiIndexB) {
                mA = 0.0f;
                iA = 0.0f;
            }
            if (indexB != toiIndexA && indexB != toiIndexB) {
                mB = 0.0f;
                iB = 0.0f;
            }
        }

        phVector cA = m_positions[indexA].c;
        float aA = m_positions[indexA].a;
        phVector cB = m_positions[indexB].c;
        float aB = m_positions[indexB].a;

        for (int32_t j = 0; j < pc.pointCount; ++j) {
            const phTransform xfA = TransformOf({cA, aA}, pc.localCenterA);
            const phTransform xfB = TransformOf({cB, aB}, pc.localCenterB);
            const PositionPoint pp = ComputePositionPoint(pc, xfA, xfB, j);
            const phVector rA = pp.point - cA;
            const phVector rB = pp.point - cB;
            minSeparation = std::min(minSeparation, pp.separation);

            // Push apart a fraction of the overlap, leaving the slop.
            const float C = phClamp(baumgarte * (pp.separation + phLinearSlop), -phMaxLinearCorrection, 0.0f);
            const float rnA = phCross(rA, pp.normal);
            const float rnB = phCross(rB, pp.normal);
            const float K = mA + mB + iA * rnA * rnA + iB * rnB * rnB;
            const float impulse = K > 0.0f ? -C / K : 0.0f;
            const phVector P = impulse * pp.normal;
            cA -= mA * P;
            aA -= iA * phCross(rA, P);
            cB += mB * P;
            aB += iB * phCross(rB, P);
        }

        m_positions[indexA].c = cA;
        m_positions[indexA].a = aA;
        m_positions[indexB].c = cB;
        m_positions[indexB].a = aB;
    }
    return minSeparation >= solvedSeparation;
}

bool phContactSolver::SolvePositionConstraints()
{
    return CorrectPositions(-1, -1, phBaumgarte, phPositionSolvedSeparation);
}

bool phContactSolver::SolveTOIPositionConstraints(int32_t toiIndexA, int32_t toiIndexB)
{
    return CorrectPositions(toiIndexA, toiIndexB, phToiBaumgarte, phToiPositionSolvedSeparation);
}
