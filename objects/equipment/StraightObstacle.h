#pragma once

#include "course/CourseObject.h"
#include "objects/equipment/ObstacleEnd.h"

// The four ends of an obstacle taken straight along x, at (-reach, 0) and
// (+reach, 0): at each a first end pointing away from the obstacle and a
// second end pointing back over it.
class CStraightEnds
{
public:
    // Registration order: by end of the obstacle (first and second at -x,
    // then at +x), or the two first ends before the two second ends.
    enum class EOrder
    {
        kByEnd,
        kFirstsFirst,
    };

    CStraightEnds(CCourseObject* owner, EOrder order, float runIn);
    CStraightEnds(const CStraightEnds&) = delete;
    CStraightEnds& operator=(const CStraightEnds&) = delete;

    // Registers the ends whose bit is set (bit i: the i-th end in
    // registration order) in that order and removes the others; the
    // registered ends stay as they are when the mask is the one they have.
    void Register(unsigned mask = 0xF);
    void SetReach(float reach);
    // The i-th end in registration order.
    const CObstacleEnd& Get(int index) const { return *m_order[index]; }

private:
    CCourseObject* m_owner;
    CFirstObstacleEnd m_nearFirst;
    CSecondObstacleEnd m_nearSecond;
    CFirstObstacleEnd m_farFirst;
    CSecondObstacleEnd m_farSecond;
    CObstacleEnd* m_order[4];
    // The mask of the registered ends; none before the first registration.
    bool m_registered = false;
    unsigned m_registeredMask = 0;
};

// An obstacle taken straight along x from one end to the other: category 2,
// its two handles and its four ends at -reach and +reach. Subclasses give
// the reach and call UpdateEnds once they are built.
class CStraightObstacle : public CCourseObject
{
public:
    int GetCategory() const override { return 2; }
    int GetEndCount() const override { return 2; }
    // (-reach, 0) and (+reach, 0).
    void GetEnd(CPoint2& point, int index) const override;
    void UpdateEnds() override;

    // Half the length between the ends.
    virtual float GetReach() const = 0;
    const CObstacleEnd& GetObstacleEnd(int index) const { return m_straightEnds.Get(index); }

protected:
    CStraightObstacle(CStraightEnds::EOrder order, float runIn = 0.0f);

    CStraightEnds m_straightEnds;
};
