#pragma once

#include <string>
#include <vector>

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;
class CFigureModel;

// What the dog and handler dialogs share: the dialog's own figure (a member
// of the kind's dialog, not owned here) showing the merged pose, whether the
// edited figures' poses differ, and the scale in per cent (0 while it
// differs). A dialog starts from the pose stored under "<type>Pose" and the
// scale stored under "<type>Scale" (100); in the Brisklane display mode the
// scale is fixed at 120, which the edited figures' own merged scale may
// still replace.
class CFigureDlg : public CObjectPropertiesDlg
{
public:
    CFigureDlg(const CFigureDlg&) = delete;
    CFigureDlg& operator=(const CFigureDlg&) = delete;

    CFigureModel& GetModel() const { return *m_model; }
    bool IsPoseMixed() const { return m_poseMixed; }
    // 0 while the edited figures differ.
    int GetScale() const { return m_scale; }
    // Brisklane mode: the user cannot change the scale.
    bool IsScaleFixed() const { return m_scaleFixed; }

    // The first edited figure sets the scale; a later, different one makes
    // it 0.
    void MergeScale(int scale);

    // The pose list: entry 0 is empty, entry i + 1 the model's named pose i.
    const std::vector<int>& GetPoseNameIds() const { return m_poseNameIds; }
    // The entry the list shows for the pose: the named pose equal to it, or
    // the empty entry while the pose is mixed, matches none or may not be
    // stored.
    int FindPoseEntry() const;
    // The user picked an entry: a named one becomes the pose of every edited
    // figure (the empty entry changes nothing). True when the pose changed.
    bool ChoosePose(int entry);
    // The user dragged a limb: the dialog's pose goes to every edited figure.
    void TakeDraggedPose() { m_poseMixed = false; }
    void ChooseScale(int scale);

    // Whether the dialog's pose may be stored and offered as a named one;
    // the handler's only while both hand choices are known.
    virtual bool CanStorePose() const { return true; }
    // Stores the pose under "Pose" when it is not mixed and may be stored,
    // the scale when it is known.
    virtual void StoreDefaults() const;

    // The pose as the "Pose" value holds it: the model's field stream.
    static std::string WritePose(CFigureModel& model);
    static void ReadPose(CFigureModel& model, const std::string& bytes);

    static constexpr int kMinScale = 50;
    static constexpr int kMaxScale = 1000;
    static constexpr int kScaleStep = 10;

protected:
    CFigureDlg(CCourse* course, int nameTextId);
    // From the kind's constructor once its figure exists: the stored pose
    // and the Brisklane scale.
    void AttachModel(CFigureModel& model);
    // The first edited figure's pose becomes the dialog's; a later one that
    // differs makes it mixed and the dialog's pose the kind's default
    // (`fresh`).
    void MergePose(const CFigureModel& pose, const CFigureModel& fresh);

private:
    CFigureModel* m_model = nullptr;
    bool m_poseMixed = false;
    int m_scale = 100;
    bool m_scaleFixed = false;
    std::vector<int> m_poseNameIds;
};
