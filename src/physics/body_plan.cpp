#include "physics/body_plan.h"

#include <cmath>
#include <sstream>
#include <string>
#include <unordered_map>

namespace xmo {

namespace {

constexpr float kFallbackEdge = 0.01f;
const Vec3f kUnsetRelative{-1.0f, -1.0f, -1.0f};

bool usableCoordinate(float c) { return std::isfinite(c) && std::fabs(c) <= kWorldLimit; }
bool usableEdge(float e) { return std::isfinite(e) && e > 0.0f && e <= kWorldLimit; }

bool usablePoint(const Vec3f& p) {
    return usableCoordinate(p.e[0]) && usableCoordinate(p.e[1]) && usableCoordinate(p.e[2]);
}

std::string text(const Vec3f& v) {
    std::ostringstream out;
    out << v.e[0] << ' ' << v.e[1] << ' ' << v.e[2];
    return out.str();
}

std::string text(float f) {
    std::ostringstream out;
    out << f;
    return out.str();
}

std::string modelName(const Model& m) { return "Model " + std::to_string(m.id); }

// Which models of the tree get something, in tree order.
enum class Role { None, Body, Part };

Role roleOf(const Model& m) {
    if (!m.physicalbased) return Role::None;
    if (!m.relativeModel) return (m.collisiontype == 0 || m.collisiontype == 1) ? Role::Body : Role::None;
    const Model& parent = *m.relativeModel;
    const bool parentHasBody = parent.physicalbased && !parent.relativeModel &&
                               (parent.collisiontype == 0 || parent.collisiontype == 1);
    return parentHasBody ? Role::Part : Role::None;
}

class Planner {
public:
    explicit Planner(const Movie& movie) : movie_(movie) {}

    BodyPlan run() {
        std::vector<Model*> placed;
        forEachModel(movie_.models, [&](BaseModel& m) {
            auto* model = dynamic_cast<Model*>(&m);
            if (!model) return;
            const Role role = roleOf(*model);
            if (role == Role::None) {
                reportWhyNone(*model);
                return;
            }
            indexOf_[model] = static_cast<int>(placed.size());
            placed.push_back(model);
        });
        for (Model* model : placed) {
            if (!model->relativeModel) plan_.bodies.push_back(planBody(*model));
            else plan_.bodies.push_back(planPart(*model));
        }
        reportBodiesInTransforms();
        for (const auto& join : movie_.joins) planJoin(*join);
        for (const auto& contact : movie_.contacts) planContact(*contact);
        return std::move(plan_);
    }

private:
    void report(DiagnosticKind kind, int line, const std::string& message) {
        plan_.problems.push_back({kind, movie_.fileName, line, message});
    }

    void reportWhyNone(const Model& m) {
        if (!m.physicalbased) return;
        if (!m.relativeModel) {
            report(DiagnosticKind::NotPhysical, m.sourceLine,
                   modelName(m) + ": collisiontype " + std::to_string(m.collisiontype) +
                       " is neither 0 (box) nor 1 (sphere); the model gets no body and is not simulated");
            return;
        }
        report(DiagnosticKind::WithoutBody, m.sourceLine,
               modelName(m) + ": relativemodelid " + std::to_string(m.relativemodelid) +
                   " names a model without a body of its own; the part gets no collision geometry");
    }

    // A body's pose is a world pose, yet the model is drawn inside its
    // transforms' matrices: it shows where the transforms move that pose.
    void reportBodiesInTransforms() {
        for (const auto& top : movie_.models) {
            const auto* transform = dynamic_cast<const ModelTransform*>(top.get());
            if (!transform) continue;
            forEachModel(transform->children, [&](BaseModel& child) {
                const auto* model = dynamic_cast<const Model*>(&child);
                if (model && roleOf(*model) == Role::Body)
                    report(DiagnosticKind::BodyInTransform, model->sourceLine,
                           modelName(*model) +
                               ": a physical model inside a ModelTransform is simulated in world coordinates "
                               "but drawn through the transform too; it shows displaced unless the transform "
                               "stays at the origin, unrotated");
            });
        }
    }

    int indexOf(const Model* m) const {
        const auto it = indexOf_.find(m);
        return it == indexOf_.end() ? -1 : it->second;
    }

    // Edge by edge: the given size, else the object's bounds, else 0.01.
    Vec3f checkedSize(const Model& m, const Vec3f& given, int edges) {
        const Vec3f bounds = m.object ? m.object->max - m.object->min : Vec3f{};
        Vec3f size = given;
        bool replaced = false;
        for (int i = 0; i < edges; ++i) {
            if (usableEdge(given.e[i])) continue;
            size.e[i] = usableEdge(bounds.e[i]) ? bounds.e[i] : kFallbackEdge;
            replaced = true;
        }
        // A top-level model takes its size from its object; an object without
        // a mesh has no size to take, and the author wrote none.
        const bool unmeasured = m.object && m.object->min.e[0] > m.object->max.e[0] && given.e[0] == bounds.e[0];
        if (replaced && unmeasured) {
            report(DiagnosticKind::BadPhysicsValue, m.sourceLine,
                   modelName(m) + ": its object has no mesh to take a size from; " +
                       (edges == 1 ? text(size.e[0]) : text(size)) + " is used");
        } else if (replaced) {
            const std::string what = edges == 1 ? "diameter " + text(given.e[0]) : "boxsize " + text(given);
            const std::string used = edges == 1 ? text(size.e[0]) : text(size);
            report(DiagnosticKind::BadPhysicsValue, m.sourceLine,
                   modelName(m) + ": " + what + " is not a usable size; " + used + " is used");
        }
        return size;
    }

    Vec3f checkedPoint(const Model& m, const char* what, const Vec3f& given) {
        if (usablePoint(given)) return given;
        Vec3f point = given;
        for (float& c : point.e)
            if (!usableCoordinate(c)) c = 0.0f;
        report(DiagnosticKind::BadPhysicsValue, m.sourceLine,
               modelName(m) + ": " + what + " " + text(given) + " lies outside the world; " + text(point) +
                   " is used");
        return point;
    }

    Quatf checkedOrientation(const Model& m) {
        const Quatf& q = m.rotation;
        const float length =
            std::sqrt(q.v.e[0] * q.v.e[0] + q.v.e[1] * q.v.e[1] + q.v.e[2] * q.v.e[2] + q.w * q.w);
        constexpr float kShortest = 1e-6f;
        if (std::isfinite(length) && length > kShortest) return q * (1.0f / length);
        report(DiagnosticKind::BadPhysicsValue, m.sourceLine,
               modelName(m) + ": rotation is not a usable orientation; the body starts unrotated");
        return Quatf{};
    }

    float checkedMass(const Model& m) {
        if (std::isfinite(m.mass) && m.mass > 0.0f) return m.mass;
        report(DiagnosticKind::BadPhysicsValue, m.sourceLine,
               modelName(m) + ": mass " + text(m.mass) + " is not a positive number; 1 is used");
        return 1.0f;
    }

    PlannedBody planBody(Model& m) {
        PlannedBody body;
        body.model = &m;
        if (m.collisiontype == 1) {
            body.shape = BodyShape::Sphere;
            const float diameter = usableEdge(m.diameter) ? m.diameter : m.boxsize.e[0];
            body.size = checkedSize(m, Vec3f{diameter, 0.0f, 0.0f}, 1);
        } else {
            body.size = checkedSize(m, m.boxsize, 3);
        }
        body.mass = checkedMass(m);
        body.position = checkedPoint(m, "position", m.position);
        body.orientation = checkedOrientation(m);
        return body;
    }

    PlannedBody planPart(Model& m) {
        PlannedBody part;
        part.model = &m;
        part.attachedTo = indexOf(m.relativeModel);
        part.size = checkedSize(m, m.boxsize, 3);
        // Without "relative" the part sits at its body's origin.
        if (m.relative != kUnsetRelative)
            part.offset = checkedPoint(m, "offset", m.position - m.relativeModel->position + m.relative);
        return part;
    }

    // The body of a join's model, or -1 (reported) when it has none.
    int jointBody(const Join& j, const char* which, const Model& m) {
        const int index = indexOf(&m);
        if (index >= 0 && !plan_.bodies[static_cast<size_t>(index)].isPart()) return index;
        report(DiagnosticKind::WithoutBody, j.sourceLine,
               "Join " + std::to_string(j.id) + ": " + which + " " + std::to_string(m.id) +
                   " has no body of its own; the join is skipped");
        return -1;
    }

    void planJoin(Join& j) {
        const bool toWorld = j.modelid1 == -1;
        if (!j.model0 || (!toWorld && !j.model1)) return;
        PlannedJoin planned;
        planned.join = &j;
        planned.body0 = jointBody(j, "modelid0", *j.model0);
        if (planned.body0 < 0) return;
        if (!toWorld) {
            planned.body1 = jointBody(j, "modelid1", *j.model1);
            if (planned.body1 < 0) return;
        }
        const std::string name = "Join " + std::to_string(j.id);
        if (planned.body0 == planned.body1) {
            report(DiagnosticKind::WithoutBody, j.sourceLine,
                   name + ": joins model " + std::to_string(j.model0->id) + " to itself; the join is skipped");
            return;
        }
        if (!usablePoint(j.position)) {
            report(DiagnosticKind::BadPhysicsValue, j.sourceLine,
                   name + ": position " + text(j.position) + " lies outside the world; the join is skipped");
            return;
        }
        planned.anchor = j.position;
        plan_.joins.push_back(planned);
    }

    int contactGeometry(const Contact& c, const char* which, const Model& m) {
        const int index = indexOf(&m);
        if (index < 0)
            report(DiagnosticKind::WithoutBody, c.sourceLine,
                   "Contact " + std::to_string(c.id) + ": " + which + " " + std::to_string(m.id) +
                       " has no collision geometry; the contact has no effect");
        return index;
    }

    void planContact(const Contact& c) {
        // An id left out is no id to resolve: the resolution pass leaves that to us.
        if (c.modelid0 == -1 || c.modelid1 == -1) {
            const char* given = c.modelid0 != -1 ? "only modelid0 is given"
                                : c.modelid1 != -1 ? "only modelid1 is given"
                                                   : "neither modelid0 nor modelid1 is given";
            report(DiagnosticKind::WithoutBody, c.sourceLine,
                   "Contact " + std::to_string(c.id) + ": " + given +
                       "; a contact names the two models that must not collide, so it has no effect");
            return;
        }
        if (!c.model0 || !c.model1) return;
        const int index0 = contactGeometry(c, "modelid0", *c.model0);
        const int index1 = contactGeometry(c, "modelid1", *c.model1);
        if (index0 < 0 || index1 < 0) return;
        plan_.contacts.push_back({&c, index0, index1});
    }

    const Movie& movie_;
    std::unordered_map<const Model*, int> indexOf_;
    BodyPlan plan_;
};

}  // namespace

BodyPlan planBodies(const Movie& movie) { return Planner(movie).run(); }

void numberPlannedRecords(const BodyPlan& plan) {
    for (size_t i = 0; i < plan.bodies.size(); ++i) plan.bodies[i].model->bodyIndex = static_cast<int>(i);
    for (size_t i = 0; i < plan.joins.size(); ++i) plan.joins[i].join->joint = static_cast<int>(i);
}

}  // namespace xmo
