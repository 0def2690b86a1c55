// The solve phases of a world step: islands of the discrete step and the
// sub-steps of continuous collision.
#include "physics/collision/time_of_impact.h"
#include "physics/common/timer.h"
#include "physics/dynamics/callbacks.h"
#include "physics/dynamics/contact.h"
#include "physics/dynamics/island.h"
#include "physics/dynamics/world.h"

#include <algorithm>

void phWorld::Solve(const phTimeStep& step)
{
    for (phBody* b = m_bodyList; b != nullptr; b = b->m_next) {
        b->m_xf0 = b->m_xf;
    }
    m_profile.solveInit = 0.0f;
    m_profile.solveVelocity = 0.0f;
    m_profile.solvePosition = 0.0f;

    phIsland island(m_bodyCount, m_contactManager.m_contactCount, m_jointCount, &m_stackAllocator,
                    m_contactManager.m_contactListener);

    for (phBody* b = m_bodyList; b != nullptr; b = b->m_next) {
        b->m_flags &= ~phBody::islandFlag;
    }
    for (phContact* c = m_contactManager.m_contactList; c != nullptr; c = c->m_next) {
        c->m_flags &= ~phContact::islandFlag;
    }
    for (phJoint* j = m_jointList; j != nullptr; j = j->m_next) {
        j->m_islandFlag = false;
    }

    // Depth-first search over the constraint graph.
    auto** const stack =
        static_cast<phBody**>(m_stackAllocator.Allocate(static_cast<int32_t>(sizeof(phBody*)) * m_bodyCount));
    for (phBody* seed = m_bodyList; seed != nullptr; seed = seed->m_next) {
        if ((seed->m_flags & phBody::islandFlag) != 0 || !seed->IsAwake() || !seed->IsActive() ||
            seed->m_type == phStaticBody) {
            continue;
        }
        island.Clear();
        int32_t stackCount = 0;
        stack[stackCount++] = seed;
        seed->m_flags |= phBody::islandFlag;

        while (stackCount > 0) {
            phBody* const b = stack[--stackCount];
            island.Add(b);
            b->SetAwake(true);
            // Static bodies do not carry the island across them.
            if (b->m_type == phStaticBody) {
                continue;
            }

            for (phContactLink* link = b->m_contactList; link != nullptr; link = link->next) {
                phContact* const contact = link->contact;
                if ((contact->m_flags & phContact::islandFlag) != 0 || !contact->IsEnabled() ||
                    !contact->IsTouching()) {
                    continue;
                }
                if (contact->m_fixtureA->m_isSensor || contact->m_fixtureB->m_isSensor) {
                    continue;
                }
                island.Add(contact);
                contact->m_flags |= phContact::islandFlag;
                phBody* const other = link->other;
                if ((other->m_flags & phBody::islandFlag) == 0) {
                    stack[stackCount++] = other;
                    other->m_flags |= phBody::islandFlag;
                }
            }

            for (phJointLink* link = b->m_jointList; link != nullptr; link = link->next) {
                if (link->joint->m_islandFlag) {
                    continue;
                }
                phBody* const other = link->other;
                if (!other->IsActive()) {
                    continue;
                }
                island.Add(link->joint);
                link->joint->m_islandFlag = true;
                if ((other->m_flags & phBody::islandFlag) == 0) {
                    stack[stackCount++] = other;
                    other->m_flags |= phBody::islandFlag;
                }
            }
        }

        island.Solve(&m_profile, step, m_gravity, m_allowSleep);

        for (int32_t i = 0; i < island.GetBodyCount(); ++i) {
            phBody* const b = island.GetBody(i);
            if (b->m_type == phStaticBody) {
                b->m_flags &= ~phBody::islandFlag;
            }
        }
    }
    m_stackAllocator.Free(stack);

    {
        const phStepTimer timer;
        // Bodies outside every island did not move.
        for (phBody* b = m_bodyList; b != nullptr; b = b->m_next) {
            if ((b->m_flags & phBody::islandFlag) != 0 && b->m_type != phStaticBody) {
                b->SyncFixtureBounds();
            }
        }
        m_contactManager.FindNewContacts();
        m_profile.broadphase = timer.GetMilliseconds();
    }
}

namespace {

// Whether a contact may ever get a time of impact: no sensor, and a static,
// kinematic or bullet body on one side (two plain dynamic bodies are left to
// the discrete step). Neither can change while the world steps.
bool MaySweep(const phContact* c)
{
    const phFixture* const fA = c->GetFixtureA();
    const phFixture* const fB = c->GetFixtureB();
    if (fA->IsSensor() || fB->IsSensor()) {
        return false;
    }
    const phBody* const bA = fA->GetBody();
    const phBody* const bB = fB->GetBody();
    return bA->IsBullet() || bA->GetType() != phDynamicBody || bB->IsBullet() ||
           bB->GetType() != phDynamicBody;
}

// The contacts of the continuous phase that may get a time of impact, in
// reverse order of the world's contact list: contacts made during the phase
// join the list at its head, so they are appended here. Scratch of the
// world's stack allocator, released last-in first-out.
class ToiCandidates
{
public:
    ToiCandidates(phStackAllocator* allocator, int32_t capacity)
        : m_allocator(allocator), m_capacity(std::max(capacity, 16)),
          m_contacts(static_cast<phContact**>(
              allocator->Allocate(static_cast<int32_t>(sizeof(phContact*)) * m_capacity)))
    {
    }
    ToiCandidates(const ToiCandidates&) = delete;
    ToiCandidates& operator=(const ToiCandidates&) = delete;
    ~ToiCandidates() { m_allocator->Free(m_contacts); }

    // Takes the contacts from first up to (not including) end, in list order,
    // as the new front of the list.
    void TakeFront(phContact* first, const phContact* end)
    {
        const int32_t start = m_count;
        for (phContact* c = first; c != end; c = c->GetNext()) {
            if (!MaySweep(c)) {
                continue;
            }
            if (m_count == m_capacity) {
                m_capacity *= 2;
                m_contacts = static_cast<phContact**>(m_allocator->Reallocate(
                    m_contacts, static_cast<int32_t>(sizeof(phContact*)) * m_capacity));
            }
            m_contacts[m_count++] = c;
        }
        std::reverse(m_contacts + start, m_contacts + m_count);
    }
    phContact* const* Data() const { return m_contacts; }
    int32_t Count() const { return m_count; }

private:
    phStackAllocator* m_allocator;
    int32_t m_capacity;
    phContact** m_contacts;
    int32_t m_count = 0;
};

} // namespace

phContact* phWorld::FindEarliestImpact(phContact* const* candidates, int32_t count, float* alphaOut)
{
    phContact* minContact = nullptr;
    float minAlpha = 1.0f;
    // List order: the first of equal times wins.
    for (int32_t i = count - 1; i >= 0; --i) {
        phContact* const c = candidates[i];
        if (!c->IsEnabled() || c->m_toiCount > phMaxSubSteps) {
            continue;
        }
        float alpha = 1.0f;
        if ((c->m_flags & phContact::toiFlag) != 0) {
            alpha = c->m_toi;
        } else {
            phFixture* const fA = c->m_fixtureA;
            phFixture* const fB = c->m_fixtureB;
            phBody* const bA = fA->m_body;
            phBody* const bB = fB->m_body;
            const bool activeA = bA->IsAwake() && bA->m_type != phStaticBody;
            const bool activeB = bB->IsAwake() && bB->m_type != phStaticBody;
            if (!activeA && !activeB) {
                continue;
            }

            // Bring both motions to the same start fraction.
            float alpha0 = bA->m_motion.alpha0;
            if (bA->m_motion.alpha0 < bB->m_motion.alpha0) {
                alpha0 = bB->m_motion.alpha0;
                bA->m_motion.Advance(alpha0);
            } else if (bB->m_motion.alpha0 < bA->m_motion.alpha0) {
                alpha0 = bA->m_motion.alpha0;
                bB->m_motion.Advance(alpha0);
            }

            phConvexProxy proxyA;
            phConvexProxy proxyB;
            phSetShapeProxy(&proxyA, fA->GetShape(), c->m_indexA);
            phSetShapeProxy(&proxyB, fB->GetShape(), c->m_indexB);
            phImpactQuery query;
            query.proxyA = &proxyA;
            query.proxyB = &proxyB;
            query.motionA = bA->m_motion;
            query.motionB = bB->m_motion;
            query.tMax = 1.0f;
            phImpactResult result;
            phComputeTimeOfImpact(&result, query);

            alpha = result.state == phImpactResult::touching
                        ? std::min(alpha0 + (1.0f - alpha0) * result.t, 1.0f)
                        : 1.0f;
            c->m_toi = alpha;
            c->m_flags |= phContact::toiFlag;
        }
        if (alpha < minAlpha) {
            minContact = c;
            minAlpha = alpha;
        }
    }
    *alphaOut = minAlpha;
    return minContact;
}

void phWorld::SolveContinuous(const phTimeStep& step)
{
    phIsland island(phMaxToiBodies, phMaxToiContacts, 0, &m_stackAllocator,
                    m_contactManager.m_contactListener);

    if (m_stepComplete) {
        for (phBody* b = m_bodyList; b != nullptr; b = b->m_next) {
            b->m_flags &= ~phBody::islandFlag;
            b->m_motion.alpha0 = 0.0f;
        }
        for (phContact* c = m_contactManager.m_contactList; c != nullptr; c = c->m_next) {
            c->m_flags &= ~(phContact::toiFlag | phContact::islandFlag);
            c->m_toiCount = 0;
            c->m_toi = 1.0f;
        }
    }
    // Only these contacts are scanned for each event; an event invalidates the
    // cached times of the contacts of the bodies it moved, and the contacts it
    // makes join the candidates.
    ToiCandidates candidates(&m_stackAllocator, m_contactManager.m_contactCount);
    candidates.TakeFront(m_contactManager.m_contactList, nullptr);

    for (;;) {
        float minAlpha = 1.0f;
        phContact* const minContact = FindEarliestImpact(candidates.Data(), candidates.Count(), &minAlpha);
        if (minContact == nullptr || phToiEndFraction < minAlpha) {
            m_stepComplete = true;
            break;
        }

        phBody* const bA = minContact->m_fixtureA->m_body;
        phBody* const bB = minContact->m_fixtureB->m_body;
        const phBodyMotion backupA = bA->m_motion;
        const phBodyMotion backupB = bB->m_motion;
        bA->Advance(minAlpha);
        bB->Advance(minAlpha);

        minContact->Update(m_contactManager.m_contactListener);
        minContact->m_flags &= ~phContact::toiFlag;
        ++minContact->m_toiCount;

        if (!minContact->IsEnabled() || !minContact->IsTouching()) {
            // The impact did not hold: skip this contact for the rest of the step.
            minContact->SetEnabled(false);
            bA->m_motion = backupA;
            bB->m_motion = backupB;
            bA->SynchronizeTransform();
            bB->SynchronizeTransform();
            continue;
        }

        bA->SetAwake(true);
        bB->SetAwake(true);
        island.Clear();
        island.Add(bA);
        island.Add(bB);
        island.Add(minContact);
        bA->m_flags |= phBody::islandFlag;
        bB->m_flags |= phBody::islandFlag;
        minContact->m_flags |= phContact::islandFlag;

        // Take in the contacts of the two bodies with static geometry (and bullets).
        phBody* const bodies[2] = {bA, bB};
        for (phBody* const body : bodies) {
            if (body->m_type != phDynamicBody) {
                continue;
            }
            for (phContactLink* link = body->m_contactList; link != nullptr; link = link->next) {
                if (island.GetBodyCount() == island.GetBodyCapacity() ||
                    island.GetContactCount() == island.GetContactCapacity()) {
                    break;
                }
                phContact* const contact = link->contact;
                if ((contact->m_flags & phContact::islandFlag) != 0) {
                    continue;
                }
                phBody* const other = link->other;
                if (other->m_type == phDynamicBody && !body->IsBullet() && !other->IsBullet()) {
                    continue;
                }
                if (contact->m_fixtureA->m_isSensor || contact->m_fixtureB->m_isSensor) {
                    continue;
                }

                const phBodyMotion backup = other->m_motion;
                if ((other->m_flags & phBody::islandFlag) == 0) {
                    other->Advance(minAlpha);
                }
                contact->Update(m_contactManager.m_contactListener);
                if (!contact->IsEnabled() || !contact->IsTouching()) {
                    other->m_motion = backup;
                    other->SynchronizeTransform();
                    continue;
                }
                contact->m_flags |= phContact::islandFlag;
                island.Add(contact);
                if ((other->m_flags & phBody::islandFlag) != 0) {
                    continue;
                }
                other->m_flags |= phBody::islandFlag;
                if (other->m_type != phStaticBody) {
                    other->SetAwake(true);
                }
                island.Add(other);
            }
        }

        phTimeStep subStep;
        subStep.dt = (1.0f - minAlpha) * step.dt;
        subStep.inv_dt = 1.0f / subStep.dt;
        subStep.dtRatio = 1.0f;
        subStep.positionIterations = phToiPositionIterations;
        subStep.velocityIterations = step.velocityIterations;
        subStep.particleIterations = step.particleIterations;
        subStep.warmStarting = false;
        island.SolveTOI(subStep, bA->m_islandIndex, bB->m_islandIndex);

        for (int32_t i = 0; i < island.GetBodyCount(); ++i) {
            phBody* const body = island.GetBody(i);
            body->m_flags &= ~phBody::islandFlag;
            if (body->m_type != phDynamicBody) {
                continue;
            }
            body->SyncFixtureBounds();
            // Its contacts need new times of impact.
            for (phContactLink* link = body->m_contactList; link != nullptr; link = link->next) {
                link->contact->m_flags &= ~(phContact::toiFlag | phContact::islandFlag);
            }
        }

        // Contacts for the new positions, before the next event.
        phContact* const oldHead = m_contactManager.m_contactList;
        m_contactManager.FindNewContacts();
        candidates.TakeFront(m_contactManager.m_contactList, oldHead);

        if (m_subStepping) {
            m_stepComplete = false;
            break;
        }
    }
}
