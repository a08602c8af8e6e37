#include "movie/movie.h"

namespace xmo {

std::string Object::writeXml() const { return {}; }
std::string BrikObject::writeXml() const { return {}; }
std::string Model::writeXml() const { return {}; }
std::string ModelTransform::writeXml() const { return {}; }
std::string CameraElement::writeXml() const { return {}; }
std::string Camera::writeXml() const { return {}; }
std::string KeyFramePosition::writeXml() const { return {}; }
std::string KeyFrameRotation::writeXml() const { return {}; }
std::string KeyFrameForce::writeXml() const { return {}; }
std::string Animation::writeXml() const { return {}; }
std::string Sequence::writeXml() const { return {}; }
std::string Movie::writeXml() const { return {}; }

}  // namespace xmo
