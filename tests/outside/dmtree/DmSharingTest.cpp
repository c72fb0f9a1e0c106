// Reference counting, CoSharedPtr and the typed properties of DmPropertySet.

#include "outside/dmtree/DmTree.h"

#include <gtest/gtest.h>

namespace {

/// A property set that records its own destruction.
class Probe : public DmPropertySet {
public:
    explicit Probe(int& deaths) : m_deaths(deaths) {}
    ~Probe() override { ++m_deaths; }
    CoSharedPtr<DmPropertySet> clone() const override { return new Probe(*this); }

private:
    Probe(const Probe&) = default;
    int& m_deaths;
};

class SubProbe : public Probe {
public:
    using Probe::Probe;
};

TEST(CoSharedPtr, CountsHoldersAndDeletesWithTheLast) {
    int deaths = 0;
    auto* probe = new Probe(deaths);
    EXPECT_EQ(probe->refcount(), 0); // a new object has no holder yet
    {
        CoSharedPtr<Probe> first(probe);
        EXPECT_EQ(probe->refcount(), 1);
        {
            CoSharedPtr<Probe> copy(first);
            CoSharedPtr<Probe> assigned;
            assigned = first;
            EXPECT_EQ(probe->refcount(), 3);
            CoSharedPtr<Probe> moved(std::move(copy));
            EXPECT_FALSE(copy);
            EXPECT_EQ(probe->refcount(), 3);
        }
        EXPECT_EQ(probe->refcount(), 1);
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(CoSharedPtr, AssignmentReleasesTheOldObjectAndSurvivesSelfAssignment) {
    int deaths = 0;
    CoSharedPtr<Probe> held(new Probe(deaths));
    Probe* same = held.get();
    held = same; // the object must not die in between
    const CoSharedPtr<Probe>& alias = held;
    held = alias;
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(same->refcount(), 1);

    held = new Probe(deaths);
    EXPECT_EQ(deaths, 1);
    held = nullptr;
    EXPECT_EQ(deaths, 2);
    EXPECT_FALSE(held);
    EXPECT_TRUE(held == nullptr);
}

TEST(CoSharedPtr, ConvertsToABaseAndSharesTheCount) {
    int deaths = 0;
    CoSharedPtr<SubProbe> derived(new SubProbe(deaths));
    CoSharedPtr<DmPropertySet> base(derived);
    EXPECT_EQ(base.get(), derived.get());
    EXPECT_TRUE(base == derived);
    EXPECT_EQ(derived->refcount(), 2);
    derived = nullptr;
    EXPECT_EQ(deaths, 0);
    base = nullptr;
    EXPECT_EQ(deaths, 1);
}

TEST(CoSharedPtr, CopyingAnObjectDoesNotCopyItsCount) {
    CoSharedPtr<DmFrameResolution> res = DmFrameResolution::create();
    CoSharedPtr<DmFrameResolution> other = res;
    const CoSharedPtr<DmPropertySet> copy = res->clone();
    EXPECT_EQ(res->refcount(), 2);
    EXPECT_EQ(copy->refcount(), 1); // held by `copy` alone
    EXPECT_NE(copy.get(), res.get());
}

TEST(DmPropertySet, ValuesAreReadBackWithTheTypeTheyWereSetWith) {
    CoSharedPtr<DmAngularMaskSettings> mask = DmAngularMaskSettings::create();
    const double pivot = 0.125;
    const float angle = 45.5f;
    const bool flag = true;
    const std::int32_t number = -3;
    const DmString label("left");
    EXPECT_EQ(mask->setPropertyValue(7, eDmPropDouble, &pivot), eDmSuccess);
    EXPECT_EQ(mask->setPropertyValue(9, eDmPropFloat, &angle), eDmSuccess);
    EXPECT_EQ(mask->setPropertyValue(1, eDmPropBool, &flag), eDmSuccess);
    EXPECT_EQ(mask->setPropertyValue(2, eDmPropInt32, &number), eDmSuccess);
    EXPECT_EQ(mask->setPropertyValue(3, eDmPropString, &label), eDmSuccess);

    double d = 0.0;
    float f = 0.0f;
    bool b = false;
    std::int32_t i = 0;
    DmString s;
    EXPECT_EQ(mask->getPropertyValue(7, eDmPropDouble, &d), eDmSuccess);
    EXPECT_EQ(mask->getPropertyValue(9, eDmPropFloat, &f), eDmSuccess);
    EXPECT_EQ(mask->getPropertyValue(1, eDmPropBool, &b), eDmSuccess);
    EXPECT_EQ(mask->getPropertyValue(2, eDmPropInt32, &i), eDmSuccess);
    EXPECT_EQ(mask->getPropertyValue(3, eDmPropString, &s), eDmSuccess);
    EXPECT_EQ(d, pivot);
    EXPECT_EQ(f, angle);
    EXPECT_EQ(b, flag);
    EXPECT_EQ(i, number);
    EXPECT_EQ(s, label);

    // Listed in ascending id order with their types.
    ASSERT_EQ(mask->getNbProperties(), 5u);
    std::int32_t id = 0;
    eDmPropType type = eDmPropBool;
    ASSERT_TRUE(mask->getPropertyInfo(4, id, type));
    EXPECT_EQ(id, 9);
    EXPECT_EQ(type, eDmPropFloat);
    EXPECT_FALSE(mask->getPropertyInfo(5, id, type));
}

TEST(DmPropertySet, FailedReadsLeaveTheOutputUntouched) {
    CoSharedPtr<DmAngularMaskSettings> mask = DmAngularMaskSettings::create();
    const double pivot = 0.5;
    mask->setPropertyValue(8, eDmPropDouble, &pivot);

    double d = -1.0;
    float f = -1.0f;
    EXPECT_EQ(mask->getPropertyValue(7, eDmPropDouble, &d), eDmErrorUnset);
    EXPECT_EQ(mask->getPropertyValue(8, eDmPropFloat, &f), eDmErrorWrongType);
    EXPECT_EQ(d, -1.0);
    EXPECT_EQ(f, -1.0f);
    EXPECT_NE(mask->getPropertyValue(8, eDmPropDouble, nullptr), eDmSuccess);

    // Setting again with another type replaces the value and its type.
    const float angle = 2.0f;
    mask->setPropertyValue(8, eDmPropFloat, &angle);
    EXPECT_EQ(mask->getPropertyValue(8, eDmPropDouble, &d), eDmErrorWrongType);
    EXPECT_EQ(mask->getPropertyValue(8, eDmPropFloat, &f), eDmSuccess);
    EXPECT_EQ(f, angle);

    EXPECT_EQ(mask->setPropertyValue(5, eDmPropDouble, nullptr), eDmErrorBadArgument);
    EXPECT_EQ(mask->setPropertyValue(5, static_cast<eDmPropType>(99), &pivot), eDmErrorBadArgument);
    EXPECT_EQ(mask->getNbProperties(), 1u);
    EXPECT_TRUE(mask->removeProperty(8));
    EXPECT_FALSE(mask->removeProperty(8));
    EXPECT_EQ(mask->getPropertyValue(8, eDmPropFloat, &f), eDmErrorUnset);
}

TEST(DmPropertySet, AnObjectWithoutPropertiesAnswersAsAnEmptyTable) {
    CoSharedPtr<DmStroke> stroke = DmStroke::create();
    double d = -1.0;
    std::int32_t id = -1;
    eDmPropType type = eDmPropString;
    EXPECT_EQ(stroke->getNbProperties(), 0u);
    EXPECT_EQ(stroke->getPropertyValue(1, eDmPropDouble, &d), eDmErrorUnset);
    EXPECT_EQ(stroke->getPropertyValue(1, eDmPropDouble, nullptr), eDmErrorUnset);
    EXPECT_FALSE(stroke->getPropertyInfo(0, id, type));
    EXPECT_FALSE(stroke->removeProperty(1));
    EXPECT_EQ(d, -1.0);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(dmCloneOf(stroke.get())->getNbProperties(), 0u);

    // A table emptied again reads and copies as one never filled.
    const double value = 2.5;
    EXPECT_EQ(stroke->setPropertyValue(4, eDmPropDouble, &value), eDmSuccess);
    const CoSharedPtr<DmStroke> filled = dmCloneOf(stroke.get());
    EXPECT_TRUE(stroke->removeProperty(4));
    EXPECT_EQ(stroke->getNbProperties(), 0u);
    EXPECT_EQ(dmCloneOf(stroke.get())->getNbProperties(), 0u);
    ASSERT_EQ(filled->getNbProperties(), 1u);
    EXPECT_EQ(filled->getPropertyValue(4, eDmPropDouble, &d), eDmSuccess);
    EXPECT_EQ(d, value);
}

TEST(DmPropertySet, CloneCopiesPropertiesIndependently) {
    CoSharedPtr<DmStroke> stroke = DmStroke::create();
    const double width = 3.0;
    stroke->setPropertyValue(11, eDmPropDouble, &width);
    const CoSharedPtr<DmPropertySet> copy = stroke->clone();
    const double other = 4.0;
    stroke->setPropertyValue(11, eDmPropDouble, &other);

    double read = 0.0;
    EXPECT_EQ(copy->getPropertyValue(11, eDmPropDouble, &read), eDmSuccess);
    EXPECT_EQ(read, width);
    EXPECT_NE(dynamic_cast<DmStroke*>(copy.get()), nullptr);
}

} // namespace
