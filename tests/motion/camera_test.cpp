#include "motion/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "movie/movie.h"
#include "support/near.h"

namespace xmo {
namespace {

constexpr float kTolerance = 1e-4f;

std::vector<Vec3f> pathPoints(int n, float offset) {
    std::vector<Vec3f> points;
    for (int i = 0; i < n; ++i) points.push_back(Vec3f{offset + i, static_cast<float>(i * i), 2.0f * i - offset});
    return points;
}

void addElement(Camera& camera, float duration, std::vector<Vec3f> eye, std::vector<Vec3f> lookAt,
                const char* interpolation = "") {
    auto element = std::make_unique<CameraElement>();
    element->duration = duration;
    element->eyePoints = std::move(eye);
    element->lookAtPoints = std::move(lookAt);
    element->interpolationfunction = interpolation;
    element->easing = easingOf(interpolation);
    camera.elements.push_back(std::move(element));
}

Vec3f bezier(const std::vector<Vec3f>& p, float e) {
    const float s = 1.0f - e;
    return p[0] * (s * s * s) + p[1] * (3 * s * s * e) + p[2] * (3 * s * e * e) + p[3] * (e * e * e);
}

Vec3f curvePoint(const std::vector<Vec3f>& points, float u) {
    BSplineCurve curve;
    BSplineScratch scratch;
    buildUniformBSpline(points, curve);
    return evaluateBSpline(curve, u, scratch);
}

struct Evaluation {
    bool found;
    Vec3f eye, lookAt, up;
};

// The outputs start at a marker, so an untouched output shows.
Evaluation evaluate(const Camera& camera, float t, CameraCache& cache) {
    Evaluation r{false, Vec3f{9, 9, 9}, Vec3f{9, 9, 9}, Vec3f{9, 9, 9}};
    r.found = evaluateCamera(camera, t, cache, r.eye, r.lookAt, r.up);
    return r;
}

TEST(Camera, ElementsFollowEachOther) {
    Camera camera;
    addElement(camera, 2.0f, pathPoints(4, 0), pathPoints(4, 10));
    addElement(camera, 3.0f, pathPoints(5, 20), pathPoints(4, 30));
    const auto& second = *camera.elements[1];
    CameraCache cache;

    // At the boundary the earlier element holds, at its last points.
    const Evaluation atTwo = evaluate(camera, 2.0f, cache);
    ASSERT_TRUE(atTwo.found);
    EXPECT_EQ(atTwo.eye, camera.elements[0]->eyePoints.back());
    EXPECT_EQ(atTwo.lookAt, camera.elements[0]->lookAtPoints.back());
    EXPECT_EQ(atTwo.up, (Vec3f{0, 0, 1}));

    const Evaluation later = evaluate(camera, 2.5f, cache);
    ASSERT_TRUE(later.found);
    EXPECT_ALL_NEAR(later.eye, curvePoint(second.eyePoints, 1.0f / 6.0f), kTolerance);
    EXPECT_ALL_NEAR(later.lookAt, bezier(second.lookAtPoints, 1.0f / 6.0f), kTolerance);

    // Back to the first element: its curves come back.
    EXPECT_ALL_NEAR(evaluate(camera, 1.0f, cache).eye, bezier(camera.elements[0]->eyePoints, 0.5f), kTolerance);

    const Evaluation past = evaluate(camera, 5.5f, cache);
    EXPECT_FALSE(past.found);
    EXPECT_EQ(past.eye, (Vec3f{9, 9, 9}));
    EXPECT_EQ(past.lookAt, (Vec3f{9, 9, 9}));
    EXPECT_EQ(past.up, (Vec3f{9, 9, 9}));
}

TEST(Camera, FewPointsHoldTheFirst) {
    const struct {
        int eyePoints, lookAtPoints;
    } cases[] = {{0, 0}, {1, 2}, {3, 3}, {4, 3}, {2, 5}};
    for (const auto& c : cases) {
        Camera camera;
        addElement(camera, 4.0f, pathPoints(c.eyePoints, 1), pathPoints(c.lookAtPoints, 5));
        const auto& element = *camera.elements[0];
        CameraCache cache;
        const Evaluation r = evaluate(camera, 1.0f, cache);
        ASSERT_TRUE(r.found);
        const auto expect = [](const std::vector<Vec3f>& points, const Vec3f& actual) {
            if (points.empty())
                EXPECT_EQ(actual, Vec3f());
            else if (points.size() < 4)
                EXPECT_EQ(actual, points.front());
            else
                EXPECT_ALL_NEAR(actual, curvePoint(points, 0.25f), kTolerance);
        };
        SCOPED_TRACE(testing::Message() << c.eyePoints << " eye points, " << c.lookAtPoints << " look-at points");
        expect(element.eyePoints, r.eye);
        expect(element.lookAtPoints, r.lookAt);
    }
}

TEST(Camera, HermiteEasesTheProgress) {
    Camera camera;
    addElement(camera, 8.0f, pathPoints(4, 0), pathPoints(4, 3), "hermite");
    const auto& eye = camera.elements[0]->eyePoints;
    const auto& lookAt = camera.elements[0]->lookAtPoints;
    CameraCache cache;
    const Evaluation half = evaluate(camera, 4.0f, cache);
    EXPECT_ALL_NEAR(half.eye, (eye[0] + 3.0f * eye[1] + 3.0f * eye[2] + eye[3]) / 8.0f, kTolerance);
    EXPECT_ALL_NEAR(half.lookAt, bezier(lookAt, 0.5f), kTolerance);
    const Evaluation quarter = evaluate(camera, 2.0f, cache);
    EXPECT_ALL_NEAR(quarter.eye, bezier(eye, 0.15625f), kTolerance);
    EXPECT_ALL_NEAR(quarter.lookAt, bezier(lookAt, 0.15625f), kTolerance);
}

TEST(Camera, ZeroDurationShowsItsFirstPoints) {
    Camera camera;
    addElement(camera, 0.0f, pathPoints(4, 0), pathPoints(5, 7));
    addElement(camera, 2.0f, pathPoints(4, 20), pathPoints(4, 30));
    CameraCache cache;
    const Evaluation r = evaluate(camera, 0.0f, cache);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.eye, camera.elements[0]->eyePoints.front());
    EXPECT_EQ(r.lookAt, camera.elements[0]->lookAtPoints.front());
    // Just after it, the next element takes over from its start.
    EXPECT_ALL_NEAR(evaluate(camera, 1e-6f, cache).eye, camera.elements[1]->eyePoints.front(), kTolerance);
}

}  // namespace
}  // namespace xmo
