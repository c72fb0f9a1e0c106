#pragma once

#include "BoundComposition.h"
#include "interchange/TimelineView.h"
#include "outside/core/Bounds.h"
#include "outside/core/Rational.h"
#include "outside/core/Time.h"

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace zempy {

/// The module zemcomposition._types, whose classes hold the values the bindings hand out.
pybind11::object valueTypes();

/// The rate a Python value names, by the frame-rate rules: a fractions.Fraction
/// (or any rational number) exactly as given; an int or a float as
/// FPSUtils::getFPSFromValue reads it (within 0.001 of a standard rate gives
/// that rate); a str as FPSUtils::getFPSFromString reads it ("23.976",
/// "24000/1001", "24"). Raises zemcomposition.Error (NoFrameRateText) for a
/// value that names no rate, TypeError for anything else (bool included).
ZEM_0_81::Rational rateFromPython(const pybind11::handle& value);

/// fractions.Fraction of `rate`, a rate read from its text: never over 0.
pybind11::object fraction(const ZEM_0_81::Rational& rate);

/// Text from the library as str. Bytes that are not UTF-8 come through as
/// surrogate escapes (as os.fsdecode gives them) rather than failing a view.
pybind11::str text(const std::string& bytes);

/// A zemcomposition.Time of `time`'s ticks at its rate.
pybind11::object timeValue(const ZEM_0_81::Time& time);

/// A zemcomposition.Bounds.
pybind11::object boundsValue(const ZEM_0_81::Bounds& bounds);

/// A zemcomposition.Item of one clip or gap of a view.
pybind11::object itemValue(const ZEM_0_81::TimelineItem& item);

/// A zemcomposition.FrameRange.
pybind11::object frameRangeValue(const ZEM_0_81::FrameRange& range);

/// A zemcomposition.Timeline holding the whole view as plain Python values.
pybind11::object timelineValue(const ZEM_0_81::TimelineView& view);

/// A tuple of zemcomposition.Loss.
pybind11::tuple lossesValue(const std::vector<Loss>& losses);

/// The transitions the view's tracks keep, track by track, as a tuple of
/// Transition that name their track by its index.
pybind11::tuple transitionsValue(const ZEM_0_81::TimelineView& view);

} // namespace zempy
