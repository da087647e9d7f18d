#include "app/about.h"

namespace pw {

void AboutLoad(Forms& forms) {
  forms.SetCaption(AboutForm, u"About Pastewright");
  forms.SetCaption(myjs,
                   u"   Pastewright is tallowmere program. It is not only support more function of "
                   u"word and photo but has a green and strong code.");
  forms.SetCaption(myjs2,
                   u"  Pastewright is green software.If you have any good ideal,you can email to "
                   u"pastewright@example.org");
  forms.SetCaption(myjs3, u"Pastewright Power By pastewright.example.org");
}

}  // namespace pw
