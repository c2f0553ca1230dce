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
        "AAAAAAMJeNp1Uj1Iw1AQvktTEorYWBQqaE/FQYpgVCIODo2DgyAoOBQHqaDQSeof\n"
        "ZHAoDk4ODuKc2cHJwakUJxEHcXboJEEQMjgEUfDeuyhdfNBy37vvfd/d5cxRE8w8\n"
        "0VcG3SP3CNITQweziAiImQzkAA1QgcEp2kT+7wyE/shbrQXdh+ZUqr4YeeBU6uj4\n"
        "zYaziM5IDM4orO8Eh46LzjRAbrjZUPRd9eh8tl3AxmPlXSv0KgXbirwkKT6oG8Zs\n"
        "zJl+0La2VeUqaFCh23HbolJJVDicAG1vW0OKMqNQZc225s0YaEGhYo1Ze8JqF+hA\n"
        "GBwFkuXoUoSDUkn7hCL+C6/kLcMOF0Y3IsAQ6R505W5Zmz9LtSl6EVG3TK+il97H\n"
        "Isf3JuoC0vsx1PzIo0nUfI4qqL0i7wO5nWXhR54ua12mFvq2FauJ2ZaRTZJa647j\n"
        "7h9tiXDoDxkB0I6Ip6guHy/0aV+sQr9HF0jHYsaZUzGqrlBO2lXTvTBoSVC7AFM4\n"
        "b14jbUvH7UKY7SB9ypzccphFKsr+cEtnMiQeH6j+1T1t/G0Tmmrtkr7qypMFvHrU\n"
        "ko+k6DA9TKvymj3/PdtAJ1JZIGsCkP/N5btI3xn6AeFBeVw= \n"
        "End Fendrel \n"
        " \n";
}
