#include "physics/collision/manifold.h"

void phComputeWorldManifold(phGlobalManifold* world, const phLocalManifold& manifold, const phTransform& xfA,
                            float radiusA, const phTransform& xfB, float radiusB)
{
    if (manifold.pointCount == 0) {
        return;
    }
    switch (manifold.type) {
    case phLocalManifold::circles: {
        world->normal = {1.0f, 0.0f};
        const phVector pointA = phMul(xfA, manifold.localPoint);
        const phVector pointB = phMul(xfB, manifold.points[0].localPoint);
        if (phDistanceSquared(pointA, pointB) > phEpsilonSquared) {
            world->normal = pointB - pointA;
            world->normal.Normalize();
        }
        const phVector cA = pointA + radiusA * world->normal;
        const phVector cB = pointB - radiusB * world->normal;
        world->points[0] = 0.5f * (cA + cB);
        world->separations[0] = phDot(cB - cA, world->normal);
        break;
    }
    case phLocalManifold::faceA: {
        world->normal = phMul(xfA.q, manifold.localNormal);
        const phVector planePoint = phMul(xfA, manifold.localPoint);
        for (int32_t i = 0; i < manifold.pointCount; ++i) {
            const phVector clipPoint = phMul(xfB, manifold.points[i].localPoint);
            const phVector cA =
                clipPoint + (radiusA - phDot(clipPoint - planePoint, world->normal)) * world->normal;
            const phVector cB = clipPoint - radiusB * world->normal;
            world->points[i] = 0.5f * (cA + cB);
            world->separations[i] = phDot(cB - cA, world->normal);
        }
        break;
    }
    case phLocalManifold::faceB: {
        world->normal = phMul(xfB.q, manifold.localNormal);
        const phVector planePoint = phMul(xfB, manifold.localPoint);
        for (int32_t i = 0; i < manifold.pointCount; ++i) {
            const phVector clipPoint = phMul(xfA, manifold.points[i].localPoint);
            const phVector cB =
                clipPoint + (radiusB - phDot(clipPoint - planePoint, world->normal)) * world->normal;
            const phVector cA = clipPoint - radiusA * world->normal;
            world->points[i] = 0.5f * (cA + cB);
            world->separations[i] = phDot(cA - cB, world->normal);
        }
        // The normal always points from A to B.
        world->normal = -world->normal;
        break;
    }
    }
}
