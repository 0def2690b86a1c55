#include "physics/collision/manifold.h"

namespace {

// The face of polygon 1 with the largest separation from polygon 2 (the first
// maximum wins) and that separation.
float FindMaxSeparation(int32_t* faceIndex, const phPolygonShape* poly1, const phTransform& xf1,
                        const phPolygonShape* poly2, const phTransform& xf2)
{
    // Polygon 1's frame expressed in polygon 2's.
    const phTransform xf = phMulT(xf2, xf1);
    int32_t bestIndex = 0;
    float maxSeparation = -phMaxFloat;
    for (int32_t i = 0; i < poly1->m_count; ++i) {
        const phVector n = phMul(xf.q, poly1->m_normals[i]);
        const phVector v1 = phMul(xf, poly1->m_vertices[i]);
        float si = phMaxFloat;
        for (int32_t j = 0; j < poly2->m_count; ++j) {
            const float sij = phDot(n, poly2->m_vertices[j] - v1);
            if (sij < si) {
                si = sij;
            }
        }
        if (si > maxSeparation) {
            maxSeparation = si;
            bestIndex = i;
        }
    }
    *faceIndex = bestIndex;
    return maxSeparation;
}

// The face of polygon 2 most opposed to face1 of polygon 1, as a world segment.
void FindIncidentEdge(phClipVertex c[2], const phPolygonShape* poly1, const phTransform& xf1, int32_t face1,
                      const phPolygonShape* poly2, const phTransform& xf2)
{
    const phVector normal1 = phMulT(xf2.q, phMul(xf1.q, poly1->m_normals[face1]));
    int32_t index = 0;
    float minDot = phMaxFloat;
    for (int32_t i = 0; i < poly2->m_count; ++i) {
        const float dot = phDot(normal1, poly2->m_normals[i]);
        if (dot < minDot) {
            minDot = dot;
            index = i;
        }
    }
    const int32_t i1 = index;
    const int32_t i2 = i1 + 1 < poly2->m_count ? i1 + 1 : 0;
    c[0].v = phMul(xf2, poly2->m_vertices[i1]);
    c[0].key = {static_cast<uint8_t>(face1), static_cast<uint8_t>(i1), phFeatureKey::face,
                phFeatureKey::vertex};
    c[1].v = phMul(xf2, poly2->m_vertices[i2]);
    c[1].key = {static_cast<uint8_t>(face1), static_cast<uint8_t>(i2), phFeatureKey::face,
                phFeatureKey::vertex};
}

} // namespace

int32_t phClipSegmentToLine(phClipVertex out[2], const phClipVertex in[2], const phVector& normal,
                            float offset, int32_t vertexIndexA)
{
    int32_t count = 0;
    const float distance0 = phDot(normal, in[0].v) - offset;
    const float distance1 = phDot(normal, in[1].v) - offset;
    if (distance0 <= 0.0f) {
        out[count++] = in[0];
    }
    if (distance1 <= 0.0f) {
        out[count++] = in[1];
    }
    if (distance0 * distance1 < 0.0f) {
        const float interp = distance0 / (distance0 - distance1);
        out[count].v = in[0].v + interp * (in[1].v - in[0].v);
        out[count].key = {static_cast<uint8_t>(vertexIndexA), in[0].key.indexB, phFeatureKey::vertex,
                          phFeatureKey::face};
        ++count;
    }
    return count;
}

void phCollidePolygons(phLocalManifold* manifold, const phPolygonShape* polyA, const phTransform& xfA,
                       const phPolygonShape* polyB, const phTransform& xfB)
{
    manifold->pointCount = 0;
    const float totalRadius = polyA->m_radius + polyB->m_radius;

    int32_t faceA = 0;
    const float separationA = FindMaxSeparation(&faceA, polyA, xfA, polyB, xfB);
    if (separationA > totalRadius) {
        return;
    }
    int32_t faceB = 0;
    const float separationB = FindMaxSeparation(&faceB, polyB, xfB, polyA, xfA);
    if (separationB > totalRadius) {
        return;
    }

    const bool flip = separationB > separationA + phReferenceFaceTolerance;
    const phPolygonShape* const poly1 = flip ? polyB : polyA; // reference polygon
    const phPolygonShape* const poly2 = flip ? polyA : polyB; // incident polygon
    const phTransform xf1 = flip ? xfB : xfA;
    const phTransform xf2 = flip ? xfA : xfB;
    const int32_t face1 = flip ? faceB : faceA;
    manifold->type = flip ? phLocalManifold::faceB : phLocalManifold::faceA;

    phClipVertex incident[2];
    FindIncidentEdge(incident, poly1, xf1, face1, poly2, xf2);

    const int32_t iv1 = face1;
    const int32_t iv2 = face1 + 1 < poly1->m_count ? face1 + 1 : 0;
    phVector v11 = poly1->m_vertices[iv1];
    phVector v12 = poly1->m_vertices[iv2];

    phVector localTangent = v12 - v11;
    localTangent.Normalize();
    const phVector localNormal = phCross(localTangent, 1.0f);
    const phVector planePoint = 0.5f * (v11 + v12);

    const phVector tangent = phMul(xf1.q, localTangent);
    const phVector normal = phCross(tangent, 1.0f);
    v11 = phMul(xf1, v11);
    v12 = phMul(xf1, v12);

    const float frontOffset = phDot(normal, v11);
    const float sideOffset1 = -phDot(tangent, v11) + totalRadius;
    const float sideOffset2 = phDot(tangent, v12) + totalRadius;

    phClipVertex clip1[2];
    if (phClipSegmentToLine(clip1, incident, -tangent, sideOffset1, iv1) < 2) {
        return;
    }
    phClipVertex clip2[2];
    if (phClipSegmentToLine(clip2, clip1, tangent, sideOffset2, iv2) < 2) {
        return;
    }

    manifold->localNormal = localNormal;
    manifold->localPoint = planePoint;
    int32_t pointCount = 0;
    for (const phClipVertex& cv : clip2) {
        const float separation = phDot(normal, cv.v) - frontOffset;
        if (separation <= totalRadius) {
            phManifoldPoint& mp = manifold->points[pointCount++];
            mp.localPoint = phMulT(xf2, cv.v);
            mp.key = flip ? cv.key.Swapped() : cv.key;
        }
    }
    manifold->pointCount = pointCount;
}
