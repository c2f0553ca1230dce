#pragma once

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The properties dialog of the open tunnel: the body style (the kind of the
// tunnel's geometry: 0 flexible, 1 rigid, 2 polyline), the bend angle of a
// rigid tunnel, the number of sections of the others, the length and the
// diameter (tenths of an inch).
//
// It starts from the values stored for the tunnel type and the course's
// organisation ("340AKCStyle", "340AKCAngle", "340AKCSections0" with the
// style's digit, "340AKCLen", "340AKCDiam"), or style 2, angle 0, the
// style's default sections and the organisation's standard length and
// diameter; a stored value the dialog could not have stored (a damaged
// store) counts as unset. Mixed values: the style has a flag; the angle is
// negative, the sections, the length and the diameter are 0.
class CTunnelPropertiesDlg : public CObjectPropertiesDlg
{
public:
    explicit CTunnelPropertiesDlg(CCourse* course);

    // The first edited object sets the style, length and diameter; a later,
    // different one marks them mixed.
    void MergeStyle(int style);
    void MergeLength(float length);
    void MergeDiameter(float diameter);
    // Only a rigid tunnel has an angle, only the others sections: the first
    // of them sets the value, a later, different one marks it mixed.
    void MergeAngle(int angle);
    void MergeSections(int sections);

    bool IsStyleMixed() const { return m_styleMixed; }
    int GetStyle() const { return m_style; }
    bool HasAngle() const { return m_angle >= 0; }
    bool HasSections() const { return m_sections != 0; }
    bool HasLength() const { return m_length > 0.0f; }
    bool HasDiameter() const { return m_diameter > 0.0f; }
    // A mixed value asked for is reported and returned as it is.
    int GetAngle() const;
    int GetSections() const;
    float GetLength() const;
    float GetDiameter() const;
    float GetStandardLength() const { return m_standardLength; }
    float GetStandardDiameter() const { return m_standardDiameter; }
    // The values as the dialog holds them: 0 when mixed.
    float GetMergedLength() const { return m_length; }
    float GetMergedDiameter() const { return m_diameter; }
    // What the entries show: the first edited tunnel's size, or the
    // starting size when none was edited.
    float GetShownLength() const { return m_shownLength; }
    float GetShownDiameter() const { return m_shownDiameter; }
    // The count last stored for the style's sections, or its default.
    int GetStoredSections(int style) const;

    // The values the dialog confirms. A style sets it known; a negative
    // angle, 0 sections or a length or diameter of 0 keep a mixed value.
    void SetStyle(int style);
    void SetAngle(int angle) { m_angle = angle; }
    void SetSections(int sections) { m_sections = sections; }
    void SetSize(float length, float diameter);

    // Stores the values that are not mixed as the defaults of the next
    // tunnels; the sections only when the user set them, and then no more
    // than the style's default.
    void StoreDefaults(bool sectionsSetByUser) const;

    // 2 flexible, 1 rigid, 4 polyline sections; another style is reported
    // and gives 2.
    static int GetDefaultSections(int style);

    // The styles are 0 to kStyleCount - 1; kDefaultStyle is the polyline.
    static constexpr int kStyleCount = 3;
    static constexpr int kDefaultStyle = 2;
    // The most sections and the largest bend a tunnel dialog offers.
    static constexpr int kMaxSections = 8;
    static constexpr int kMaxAngle = 270;

private:
    // The stored count of the style's sections.
    std::wstring SectionsValueName(int style) const;

    float m_standardLength = 1800.0f;
    float m_standardDiameter = 240.0f;
    int m_style = kDefaultStyle;
    bool m_styleMixed = false;
    int m_angle = 0;
    int m_sections = 4;
    float m_length = 0.0f;
    float m_diameter = 0.0f;
    float m_shownLength = 0.0f;
    float m_shownDiameter = 0.0f;
    bool m_angleSeen = false;
    bool m_sectionsSeen = false;
};
