#include "base/diagnostics.h"

#include <algorithm>

namespace xmo {

const char* diagnosticKindName(DiagnosticKind kind) {
    switch (kind) {
    case DiagnosticKind::UnresolvedId: return "unresolved-id";
    case DiagnosticKind::ModelWithoutObject: return "model-without-object";
    case DiagnosticKind::ObjectNotLoaded: return "object-not-loaded";
    case DiagnosticKind::MisplacedElement: return "misplaced-element";
    case DiagnosticKind::BadIndex: return "bad-index";
    case DiagnosticKind::MissingCoordinates: return "missing-coordinates";
    case DiagnosticKind::ParseError: return "parse-error";
    case DiagnosticKind::ColorOutOfRange: return "color-out-of-range";
    case DiagnosticKind::SizeOutOfRange: return "size-out-of-range";
    case DiagnosticKind::UnknownName: return "unknown-name";
    case DiagnosticKind::ImageProblem: return "image-problem";
    case DiagnosticKind::FontProblem: return "font-problem";
    case DiagnosticKind::RotationWithoutAxis: return "rotation-without-axis";
    case DiagnosticKind::MusicProblem: return "music-problem";
    case DiagnosticKind::NotPhysical: return "not-physical";
    case DiagnosticKind::BadPhysicsValue: return "bad-physics-value";
    case DiagnosticKind::WithoutBody: return "without-body";
    case DiagnosticKind::BodyInTransform: return "body-in-transform";
    case DiagnosticKind::LargeShadowPolygon: return "large-shadow-polygon";
    case DiagnosticKind::UnknownElement: return "unknown-element";
    case DiagnosticKind::UnknownAttribute: return "unknown-attribute";
    case DiagnosticKind::DuplicateId: return "duplicate-id";
    case DiagnosticKind::ReplacedMovie: return "replaced-movie";
    case DiagnosticKind::BadDuration: return "bad-duration";
    case DiagnosticKind::IdleKeys: return "idle-keys";
    case DiagnosticKind::UnreadValue: return "unread-value";
    case DiagnosticKind::SaturatedNumber: return "saturated-number";
    case DiagnosticKind::UnappliedTransform: return "unapplied-transform";
    case DiagnosticKind::UnusedNodes: return "unused-nodes";
    case DiagnosticKind::UndrawnGeometry: return "undrawn-geometry";
    case DiagnosticKind::UnfollowedReference: return "unfollowed-reference";
    case DiagnosticKind::ViewpointMovesObject: return "viewpoint-moves-object";
    case DiagnosticKind::EmptyObject: return "empty-object";
    case DiagnosticKind::BeyondFarPlane: return "beyond-far-plane";
    case DiagnosticKind::TimeOutOfReach: return "time-out-of-reach";
    case DiagnosticKind::LongDuration: return "long-duration";
    case DiagnosticKind::KeysOutOfOrder: return "keys-out-of-order";
    case DiagnosticKind::UnseenParticle: return "unseen-particle";
    case DiagnosticKind::GrowingParticles: return "growing-particles";
    case DiagnosticKind::CaptionWithoutFont: return "caption-without-font";
    case DiagnosticKind::CaptionOffScreen: return "caption-off-screen";
    case DiagnosticKind::DegenerateView: return "degenerate-view";
    case DiagnosticKind::AlsoRefused: return "also-refused";
    case DiagnosticKind::OpenShadowEdges: return "open-shadow-edges";
    case DiagnosticKind::UnsupportedFeature: return "unsupported-feature";
    case DiagnosticKind::MissingFile: return "missing-file";
    case DiagnosticKind::BadScale: return "bad-scale";
    }
    return "problem";
}

void Diagnostics::sortByFileAndLine() {
    std::stable_sort(items_.begin(), items_.end(), [](const Diagnostic& a, const Diagnostic& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
}

std::string formatDiagnostic(const Diagnostic& d) {
    std::string text = d.file;
    if (d.line > 0) text += ":" + std::to_string(d.line);
    text += ": " + d.message;
    return text;
}

}  // namespace xmo
