#pragma once

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The crossover's properties dialog: which planks it has (0 to 3), the plank
// length and height of its ramps and the platform width. It starts from the
// values stored for the kind: "70WhichPlanks", and per organisation
// "70<organisation>PlankLen", "...Height", "...PlatformWidth" (1080, 430 and
// 303 when unset). Lengths are 0 and the planks unknown when the edited
// objects differ.
class CCrossoverDlg : public CObjectPropertiesDlg
{
public:
    explicit CCrossoverDlg(CCourse* course);

    // The first edited object sets the value; a later, different one makes
    // it mixed.
    void MergeHeight(float height);
    void MergePlankLength(float length);
    void MergePlatformWidth(float width);
    void MergeWhichPlanks(int whichPlanks);

    bool HasHeight() const { return m_height > 0.0f; }
    bool HasPlankLength() const { return m_plankLength > 0.0f; }
    bool HasPlatformWidth() const { return m_platformWidth > 0.0f; }
    bool HasWhichPlanks() const { return m_whichPlanks >= 0; }
    // A mixed value is reported and returned as it is.
    float GetHeight() const;
    float GetPlankLength() const;
    float GetPlatformWidth() const;
    int GetWhichPlanks() const;
    // The values as the dialog holds them: 0 (kMixed for the planks) when
    // mixed.
    float GetMergedHeight() const { return m_height; }
    float GetMergedPlankLength() const { return m_plankLength; }
    float GetMergedPlatformWidth() const { return m_platformWidth; }
    int GetMergedWhichPlanks() const { return m_whichPlanks; }
    // What the entries show: the first edited object's values, or the
    // starting ones when none was edited.
    float GetShownHeight() const { return m_shownHeight; }
    float GetShownPlankLength() const { return m_shownPlankLength; }
    float GetShownPlatformWidth() const { return m_shownPlatformWidth; }

    // The values the dialog confirms; 0 or kMixed keeps a mixed value.
    void SetRamp(float plankLength, float height);
    void SetPlatformWidth(float width) { m_platformWidth = width; }
    void SetWhichPlanks(int whichPlanks) { m_whichPlanks = whichPlanks; }

    static constexpr float kStandardPlankLength = 1080.0f;
    static constexpr float kStandardHeight = 430.0f;
    static constexpr float kStandardPlatformWidth = 303.0f;
    static constexpr int kMixed = -1;

private:
    // kMixed when the edited objects differ.
    int m_whichPlanks = 0;
    float m_plankLength = kStandardPlankLength;
    float m_height = kStandardHeight;
    float m_platformWidth = kStandardPlatformWidth;
    float m_shownPlankLength = kStandardPlankLength;
    float m_shownHeight = kStandardHeight;
    float m_shownPlatformWidth = kStandardPlatformWidth;
};
