#include "dialogs/CoursePreview.h"

// A course of 30 by 30 feet holding one object of every kind, each as the
// placing tool makes it, seven to a row, in the course text block form.
const char* GetColorSampleCourseText()
{
    return
        " \n"
        " \n"
        "Begin Fendrel \n"
        "Version 4 \n"
        "For a free viewer, go to www.norvane.com/viewer \n"
        "AAAAAALueNp1Uj1Iw1AQvktTEorYUBQqtD0VBymCqRLp4JB0cBAEBQcnqaDQSeof\n"
        "ZHAoDk4ODuKc2cHJwakUJxEnZ4dOEgQhg0MRBe+9i9DFBwn33X35vrvLM6dMMPNE\n"
        "3xl0T9wTSE8CfcwiIiBmMpADNEAFBpdoG/ndH4+CyfdmF4YPLalSqxF74PgtdIJO\n"
        "22mgM5mAMwWbe+Gx46JTA8iVO21F31cfXS72Cth+9j+0wqhSsK3YGwyKTyrDmI25\n"
        "Mgba1ra2uAuaUOh+xraoUhEVDmdB29tWSVEWFPI3bKtuJkDLChWbzDoQVq9AR8Lg\n"
        "KJQqR9ciHFYq2icS8T94I98y7HNjdCcCDJEeQXfuVrX5i3SbolcRdav0JnppPhE5\n"
        "zpuoG0jz06j5sUdzqPkc+ai9Yu8TeZxV4ceebmtTthYFtpWojdmWkR0Mmt0Hjocf\n"
        "2hHhKCgZIdCeiKeoJT8vCuhQrKJgRDdIp2LGlXMx2lqjnIyrtntl0IqgXgHmsW7e\n"
        "Iu3KxL1ClO0jfcme3GqURSrK/eGRLmRJvD5Q86s8deVPqBzUyrQuFBb+9+wCnYl9\n"
        "KHcBIP9Xyw+RfjL0CwHzdlQ= \n"
        "End Fendrel \n"
        " \n";
}
