#include "movie/movie_writer.h"

#include <cstdio>
#include <sstream>

#include "base/atomic_file.h"

namespace xmo {

namespace {

std::ostream& operator<<(std::ostream& out, const Vec3f& v) { return out << v.e[0] << ' ' << v.e[1] << ' ' << v.e[2]; }

struct Rotation {
    const Quatf& q;
};
std::ostream& operator<<(std::ostream& out, Rotation r) {
    const AxisAngle a = r.q.toAxisAngle();
    return out << a.axis << ' ' << a.degrees;
}

struct Escaped {
    const std::string& s;
};
std::ostream& operator<<(std::ostream& out, Escaped e) { return out << escapeXml(e.s); }

const char* boolText(bool b) { return b ? "true" : "false"; }

template <typename List>
void writeAll(std::ostream& out, const List& list) {
    for (const auto& entry : list) out << entry->writeXml();
}

}  // namespace

std::string escapeXml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Object::writeXml() const {
    std::ostringstream out;
    out << "  <Object id=\"" << id << "\" filename=\"" << Escaped{filename} << "\" objectname=\""
        << Escaped{objectname} << "\"/>\n";
    return out.str();
}

std::string BrikObject::writeXml() const {
    std::ostringstream out;
    out << "  <BrikObject id=\"" << id << "\" size=\"" << size << "\" color=\"" << color << "\"/>\n";
    return out.str();
}

std::string Model::writeXml() const {
    std::ostringstream out;
    out << "  <Model id=\"" << id << "\" objectid=\"" << objectid << "\" position=\"" << position
        << "\" rotation=\"" << Rotation{rotation} << "\"/>\n";
    return out.str();
}

std::string ModelTransform::writeXml() const {
    std::ostringstream out;
    out << "<ModelTransform id=\"" << id << "\" position=\"" << position << "\" rotation=\"" << Rotation{rotation}
        << "\"/>\n";
    return out.str();
}

std::string CameraElement::writeXml() const {
    std::ostringstream out;
    out << "  <CameraElement duration=\"" << duration << "\" eyetype=\"" << Escaped{eyetype} << "\" lookattype=\""
        << Escaped{lookattype} << "\" interpolationfunction=\"" << Escaped{interpolationfunction} << "\">\n";
    out << "   <LookAt>\n";
    for (const Vec3f& p : lookAtPoints) out << "    <Point position=\"" << p << "\"/>\n";
    out << "   </LookAt>\n";
    out << "   <Eye>\n";
    for (const Vec3f& p : eyePoints) out << "    <Point position=\"" << p << "\"/>\n";
    out << "   </Eye>\n";
    out << "  </CameraElement>\n";
    return out.str();
}

std::string Camera::writeXml() const {
    std::ostringstream out;
    out << " <Camera>\n";
    writeAll(out, elements);
    out << " </Camera>\n\n";
    return out.str();
}

std::string KeyFramePosition::writeXml() const {
    std::ostringstream out;
    out << "   <KeyFramePosition keytime=\"" << keytime << "\" position=\"" << position
        << "\" interpolationfunction=\"" << Escaped{interpolationfunction} << "\"/>\n";
    return out.str();
}

std::string KeyFrameRotation::writeXml() const {
    std::ostringstream out;
    out << "   <KeyFrameRotation keytime=\"" << keytime << "\" rotation=\"" << Rotation{rotation}
        << "\" interpolationfunction=\"" << Escaped{interpolationfunction} << "\"/>\n";
    return out.str();
}

std::string KeyFrameForce::writeXml() const {
    std::ostringstream out;
    out << "   <KeyFrameForce keytime=\"" << keytime << "\" linearvelocity=\"" << linearvelocity << "\" position=\""
        << position << "\" rotation=\"" << Rotation{rotation} << "\" angularvelocity=\"" << angularvelocity
        << "\" activated=\"" << boolText(activated) << "\"/>\n";
    return out.str();
}

std::string Animation::writeXml() const {
    std::ostringstream out;
    out << "  <Animation modelid=\"" << modelid << "\" interpolationfunction=\"" << Escaped{interpolationfunction}
        << "\" loop=\"" << boolText(loop) << "\">\n";
    writeAll(out, positionKeys);
    writeAll(out, rotationKeys);
    writeAll(out, forceKeys);
    out << "  </Animation>\n";
    return out.str();
}

std::string Sequence::writeXml() const {
    std::ostringstream out;
    out << "<Sequence duration=\"" << duration << "\">\n";
    if (camera) out << camera->writeXml();
    out << " <Animations>\n";
    writeAll(out, animations);
    out << " </Animations>\n";
    out << "</Sequence>\n\n";
    return out.str();
}

std::string Movie::writeXml() const {
    std::ostringstream out;
    out << "<Movie>\n <Objects>\n";
    writeAll(out, objects);
    out << " </Objects>\n <Models>\n";
    writeAll(out, models);
    out << " </Models>\n <Sequences>\n";
    writeAll(out, sequences);
    out << " </Sequences>\n</Movie>\n\n";
    return out.str();
}

void saveMovie(const Movie& movie, const std::string& path) {
    const std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE x3d SYSTEM \"???.dtd\">\n" + movie.writeXml();
    std::string error;
    const bool written = writeFileAtomically(
        path, [&text](std::FILE* file) { return std::fwrite(text.data(), 1, text.size(), file) == text.size(); },
        error);
    if (!written) throw SaveError(error);
}

}  // namespace xmo
