#include "scene/nodes.h"

namespace xmo {

void IndexedFaceSet::draw() {}
void Group::draw() {}
void Transform::draw() {}
void Material::draw() {}
void Appearance::draw() {}
void Shape::draw() {}
void PointLight::draw() {}
void PointLight::enable() {}
void Scene::draw() {}

}  // namespace xmo
