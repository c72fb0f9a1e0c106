#pragma once

// The words of ASC CDL XML, written once for the reader and the writer:
//
//     <ColorCorrectionCollection xmlns="urn:ASC:CDL:v1.2">      a ".ccc" file
//         <Description>TEXT</Description>                       any number
//         <ColorCorrection id="ID">                             a ".cc" file's root
//             <Description>TEXT</Description>                   any number
//             <SOPNode>
//                 <Slope>R G B</Slope>                          identity 1 1 1
//                 <Offset>R G B</Offset>                        identity 0 0 0
//                 <Power>R G B</Power>                          identity 1 1 1
//             </SOPNode>
//             <SatNode><Saturation>S</Saturation></SatNode>     identity 1; "SATNode" in 1.01
//         </ColorCorrection>
//     </ColorCorrectionCollection>
//
//     <ColorDecisionList xmlns="urn:ASC:CDL:v1.2">              a ".cdl" file
//         <ColorDecision>
//             <MediaRef ref="URI"/>                             the media the decision is for
//             <ColorCorrection id="ID">...</ColorCorrection>    or
//             <ColorCorrectionRef ref="ID"/>                    one elsewhere in the file
//         </ColorDecision>
//     </ColorDecisionList>
//
// Elements are told apart by their local name: a prefix bound to one of the
// namespaces ("cdl:ColorCorrection") reads as the bare name.

#include <cstring>

namespace ZEM_0_81::Interchange::Cdl {

constexpr const char* kColorCorrection = "ColorCorrection";
constexpr const char* kCollection = "ColorCorrectionCollection";
constexpr const char* kDecisionList = "ColorDecisionList";
constexpr const char* kColorDecision = "ColorDecision";
constexpr const char* kMediaRef = "MediaRef";
constexpr const char* kCorrectionRef = "ColorCorrectionRef";
constexpr const char* kDescription = "Description";
constexpr const char* kSopNode = "SOPNode";
constexpr const char* kSlope = "Slope";
constexpr const char* kOffset = "Offset";
constexpr const char* kPower = "Power";
constexpr const char* kSatNode = "SatNode";
constexpr const char* kOldSatNode = "SATNode";
constexpr const char* kSaturation = "Saturation";

constexpr const char* kId = "id";
constexpr const char* kRef = "ref";
constexpr const char* kXmlns = "xmlns";

/// The namespaces read, and the versions they name; the writer writes the last.
constexpr const char* kNamespace101 = "urn:ASC:CDL:v1.01";
constexpr const char* kNamespace12 = "urn:ASC:CDL:v1.2";
constexpr const char* kVersion101 = "1.01";
constexpr const char* kVersion12 = "1.2";

/// The name of an element without its namespace prefix.
inline const char* localName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

} // namespace ZEM_0_81::Interchange::Cdl
