#pragma once

#include <string>

#include "ui/PrintJob.h"

class CCourse;
class CPrintScene;

// The print job of one page of courses (app/PrintScene.h): one page, laid
// out for paper when the run asks for the pages, titled after its course.
class CCoursePrintJob : public CPrintJob
{
public:
    // The page is not owned.
    explicit CCoursePrintJob(CPrintScene* page);

    // The course's title when the page holds exactly one course, else
    // text 2003.
    void GetTitle(std::wstring& title) override;
    // Lays the page out for paper: always one page.
    int PrintPages() override;
    // The same page for every index.
    CScene* GetPrintContext(int page) override;
    // The course's file, or without one its title, without the extension;
    // the title of several courses.
    void GetOutputName(std::wstring& name) override;
    // Refuses the file of any open course (of a window or of the page) with
    // an error box.
    bool TakeOutputFile(const std::wstring& path) override;
    bool Slot3() override;
    bool Slot4() override;
    bool Slot5() override;

    CPrintScene* page;

private:
    // Whether a course of a course window or of the page has this file.
    bool IsOpenCourseFile(const std::wstring& path) const;
};
