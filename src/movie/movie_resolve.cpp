#include "movie/movie_resolve.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/film_files.h"
#include "movie/movie_loader.h"

namespace xmo {

namespace {

// A command's targets repeat for every pass, so a hostile file could ask for
// billions of entries; beyond this many in one movie it is refused.
constexpr size_t kMaxTargets = size_t{1} << 24;

// The model tree flattened once, depth first in document order.
class ModelIndex {
public:
    explicit ModelIndex(const Movie& movie) {
        forEachModel(movie.models, [&](BaseModel& m) {
            BaseModel*& last = lastWithId_[m.id];
            if (last) duplicates_.emplace_back(last, &m);
            last = &m;
            if (auto* model = dynamic_cast<Model*>(&m)) {
                const int position = static_cast<int>(models_.size());
                positionsWithId_[model->id].push_back(position);
                byId_.emplace_back(model->id, position);
                models_.push_back(model);
            }
        });
        std::sort(byId_.begin(), byId_.end());
    }

    const std::vector<Model*>& models() const { return models_; }
    // Each model whose id an earlier one already has, after that earlier one.
    const std::vector<std::pair<BaseModel*, BaseModel*>>& duplicates() const { return duplicates_; }
    Model* at(int position) const { return models_[static_cast<size_t>(position)]; }

    // Tree positions of the models of one id, in tree order; null when none.
    const std::vector<int>* positionsWithId(int id) const {
        const auto it = positionsWithId_.find(id);
        return it == positionsWithId_.end() ? nullptr : &it->second;
    }

    Model* lastModel(int id) const {
        const std::vector<int>* positions = positionsWithId(id);
        return positions ? at(positions->back()) : nullptr;
    }

    // A Model or a ModelTransform, whichever comes last in tree order.
    BaseModel* lastBaseModel(int id) const {
        const auto it = lastWithId_.find(id);
        return it == lastWithId_.end() ? nullptr : it->second;
    }

    // Tree positions of the models whose id lies in from..to, in tree order.
    std::vector<int> positionsInRange(int from, int to) const {
        std::vector<int> positions;
        if (from > to) return positions;
        const auto first = std::lower_bound(byId_.begin(), byId_.end(), std::make_pair(from, -1));
        for (auto it = first; it != byId_.end() && it->first <= to; ++it) positions.push_back(it->second);
        std::sort(positions.begin(), positions.end());
        return positions;
    }

private:
    std::vector<Model*> models_;
    std::unordered_map<int, std::vector<int>> positionsWithId_;
    std::unordered_map<int, BaseModel*> lastWithId_;
    std::vector<std::pair<int, int>> byId_;  // (id, tree position), sorted
    std::vector<std::pair<BaseModel*, BaseModel*>> duplicates_;
};

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

class Resolver {
public:
    Resolver(Movie& movie, LoadServices& services, Refusals& refusals)
        : movie_(movie), services_(services), refusals_(refusals), index_(movie) {}

    void run() {
        reportDuplicateModels();
        resolveObjectsOfModels();
        for (auto& join : movie_.joins) resolvePair(*join, "Join", true);
        loadObjects();
        for (auto& contact : movie_.contacts) resolvePair(*contact, "Contact", false);
        resolveRelativeModels();
        for (auto& model : movie_.models) model->computeExtents();
        for (auto& sequence : movie_.sequences) resolveSequence(*sequence);
        services_.physics.buildPhysicalModels(movie_);
        services_.physics.createJoints(movie_);
        services_.physics.applyContacts(movie_);
    }

private:
    void report(DiagnosticKind kind, int line, std::string message) {
        services_.diagnostics.report(kind, movie_.fileName, line, std::move(message));
    }

    // "<what> <id> names no model", telling a lone ModelTransform apart.
    void reportMissingModel(int line, const std::string& what, int id) {
        const bool transformOnly = index_.lastBaseModel(id) != nullptr;
        report(DiagnosticKind::UnresolvedId, line,
               what + " " + std::to_string(id) +
                   (transformOnly ? " names only a ModelTransform, which cannot be used here" : " names no model"));
    }

    static const char* recordName(const BaseObject& o) { return dynamic_cast<const Object*>(&o) ? "Object" : "BrikObject"; }
    static const char* recordName(const BaseModel& m) { return dynamic_cast<const Model*>(&m) ? "Model" : "ModelTransform"; }

    template <typename Record>
    void reportDuplicate(const Record& earlier, const Record& later, const char* consequence) {
        report(DiagnosticKind::DuplicateId, later.sourceLine,
               std::string(recordName(later)) + " id " + std::to_string(later.id) + " is taken by the " +
                   recordName(earlier) + " at line " + std::to_string(earlier.sourceLine) + " already; " + consequence);
    }

    void reportDuplicateModels() {
        for (const auto& [earlier, later] : index_.duplicates())
            reportDuplicate(*earlier, *later,
                            dynamic_cast<const Model*>(later)
                                ? "animations, commands, joins and contacts use the last Model of an id"
                                : "animations use the last model of an id, this ModelTransform included; commands, "
                                  "joins and contacts the last Model");
    }

    void resolveObjectsOfModels() {
        std::unordered_map<int, BaseObject*> firstWithId;
        for (auto& object : movie_.objects) {
            const auto [first, inserted] = firstWithId.emplace(object->id, object.get());
            if (!inserted) reportDuplicate(*first->second, *object, "models use the first object of an id");
        }
        for (Model* model : index_.models()) {
            const auto it = firstWithId.find(model->objectid);
            model->object = it == firstWithId.end() ? nullptr : it->second;
            if (!model->object)
                report(DiagnosticKind::ModelWithoutObject, model->sourceLine,
                       "Model " + std::to_string(model->id) + ": objectid " + std::to_string(model->objectid) +
                           " names no object");
        }
    }

    // A join's modelid1 of -1 fixes model0 to the world; that is no fault. A
    // contact's id left out is no id that failed to resolve: the body plan
    // says what such a contact lacks.
    template <typename Pair>
    void resolvePair(Pair& pair, const char* kind, bool isJoin) {
        const std::string name = std::string(kind) + " " + std::to_string(pair.id);
        pair.model0 = index_.lastModel(pair.modelid0);
        pair.model1 = index_.lastModel(pair.modelid1);
        if (!pair.model0 && (isJoin || pair.modelid0 != -1))
            reportMissingModel(pair.sourceLine, name + ": modelid0", pair.modelid0);
        if (!pair.model1 && pair.modelid1 != -1)
            reportMissingModel(pair.sourceLine, name + ": modelid1", pair.modelid1);
    }

    void loadObjects() {
        ObjectLoadContext context{services_.progress, services_.diagnostics, services_.errors, services_.lights,
                                  services_.media,    services_.textures,    services_.meshUse};
        std::unordered_set<const BaseObject*> casting;
        for (const Model* model : index_.models())
            if (model->castshadow && model->object) casting.insert(model->object);
        for (auto& object : movie_.objects) {
            context.castsShadow = casting.count(object.get()) != 0;
            const size_t before = countNotLoaded();
            const size_t firstReport = services_.diagnostics.size();
            try {
                object->load(context);
            } catch (const LoadError& e) {
                // A scene file that cannot be read refuses the film: say which
                // object of the movie named it, and where a missing one was
                // looked for.
                std::string message = "Object " + std::to_string(object->id) + ": " + formatLoadError(e);
                const auto* sceneObject = dynamic_cast<const Object*>(object.get());
                if (sceneObject && !isPresent(sceneObject->filename))
                    message += " (" + describeFilmFileSearch(sceneObject->filename, movie_.fileName) + ")";
                refusals_.refuse(LoadError(movie_.fileName, object->sourceLine, message));
                continue;
            }
            services_.diagnostics.fillMissingFile(firstReport, movie_.fileName);
            auto* sceneObject = dynamic_cast<Object*>(object.get());
            // The scene loader may explain the failure itself; else say it here.
            if (sceneObject && !sceneObject->loaded && countNotLoaded() == before)
                report(DiagnosticKind::ObjectNotLoaded, object->sourceLine,
                       "Object " + std::to_string(object->id) + ": " + quoted(sceneObject->objectname) +
                           " could not be loaded from " + quoted(sceneObject->filename));
        }
    }

    size_t countNotLoaded() const {
        const auto& items = services_.diagnostics.items();
        return static_cast<size_t>(std::count_if(items.begin(), items.end(), [](const Diagnostic& d) {
            return d.kind == DiagnosticKind::ObjectNotLoaded;
        }));
    }

    // Only top-level models are placed relative to another one.
    void resolveRelativeModels() {
        for (auto& entry : movie_.models) {
            auto* model = dynamic_cast<Model*>(entry.get());
            if (!model) continue;
            model->relativeModel = index_.lastModel(model->relativemodelid);
            if (!model->relativeModel && model->relativemodelid != -1)
                reportMissingModel(model->sourceLine, "Model " + std::to_string(model->id) + ": relativemodelid",
                                   model->relativemodelid);
        }
    }

    void resolveSequence(Sequence& sequence) {
        for (auto& animation : sequence.animations) {
            animation->model = index_.lastBaseModel(animation->modelid);
            if (!animation->model)
                report(DiagnosticKind::UnresolvedId, animation->sourceLine,
                       "Animation: modelid " + std::to_string(animation->modelid) + " names no model");
        }
        for (auto& command : sequence.xfunctions) resolveCommandModel(*command);
        for (auto& command : sequence.xfunctions) fillTargets(*command);
    }

    // Every model of the id learns the command's name; the last one is used.
    void resolveCommandModel(XFunction& command) {
        command.model = nullptr;
        if (const std::vector<int>* positions = index_.positionsWithId(command.modelid)) {
            for (int position : *positions) index_.at(position)->function = command.xfunctiontype;
            command.model = index_.at(positions->back());
        }
        // Only particles are spawned at the command's own model.
        if (!command.model && command.commandType == CommandType::CreateParticles)
            reportMissingModel(command.sourceLine, commandName(command) + ": modelid", command.modelid);
    }

    static std::string commandName(const XFunction& command) { return "XFunction " + quoted(command.xfunctiontype); }

    // One pass for the key -1, then one per entry of modelids; each appends,
    // in tree order, every model whose id is the key or lies in the range.
    void fillTargets(XFunction& command) {
        const int from = command.frommodelid;
        const int to = command.tomodelid;
        const std::vector<int> range = index_.positionsInRange(from, to);
        if (range.empty() && !(from == 0 && to == 0))
            report(DiagnosticKind::UnresolvedId, command.sourceLine,
                   commandName(command) + ": no model has an id from " + std::to_string(from) + " to " +
                       std::to_string(to));
        // Sizes first, so that a refused command allocates nothing.
        std::vector<const std::vector<int>*> keyed;
        keyed.reserve(command.modelids.size() + 1);
        size_t total = 0;
        auto plan = [&](int key) {
            const std::vector<int>* k = key >= from && key <= to ? nullptr : index_.positionsWithId(key);
            keyed.push_back(k);
            total += range.size() + (k ? k->size() : 0);
        };
        plan(-1);
        for (int id : command.modelids) {
            if (!index_.lastModel(id)) reportMissingModel(command.sourceLine, commandName(command) + ": modelids entry", id);
            plan(id);
        }
        command.targets.clear();
        if (total > kMaxTargets - targetCount_) {
            refusals_.refuse(LoadError(movie_.fileName, command.sourceLine,
                                       commandName(command) + " names more than " + std::to_string(kMaxTargets) +
                                           " targets in all"));
            return;
        }
        targetCount_ += total;
        command.targets.reserve(total);
        for (const std::vector<int>* k : keyed) {
            auto append = [&](int position) { command.targets.push_back(index_.at(position)); };
            if (!k) {
                std::for_each(range.begin(), range.end(), append);
                continue;
            }
            // Both lists are in tree order and disjoint: merge them.
            size_t i = 0;
            size_t j = 0;
            while (i < range.size() || j < k->size()) {
                if (j == k->size() || (i < range.size() && range[i] < (*k)[j])) append(range[i++]);
                else append((*k)[j++]);
            }
        }
    }

    Movie& movie_;
    LoadServices& services_;
    Refusals& refusals_;
    ModelIndex index_;
    size_t targetCount_ = 0;
};

}  // namespace

void resolveMovie(Movie& movie, LoadServices& services, Refusals& refusals) {
    Resolver(movie, services, refusals).run();
}

}  // namespace xmo
