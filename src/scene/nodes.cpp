#include "scene/nodes.h"

namespace xmo {

void IndexedFaceSet::finish() { finished = true; }

void Scene::prepare() {}

unsigned lightEnumerantFor(int) { return 0; }

RendererState& rendererState() {
    static RendererState state;
    return state;
}

}  // namespace xmo
