#include "InstallerTexts.h"

namespace notavex::installer::texts {

const char* const kLicenceText = R"(NOTAVEX VISUAL MARKUP - LICENSE AGREEMENT

Please read this agreement carefully before you install Notavex Visual Markup
("the Software"). By choosing Accept you agree to be bound by its terms.

1. LICENSE. You may install and use one copy of the Software on each computer
   you own or control, for your own work, at home or in your organisation.

2. RESTRICTIONS. You may not rent, lease or sell the Software, nor remove its
   notices. You may not reverse engineer the Software except where the law
   allows it notwithstanding this restriction.

3. YOUR MARKUP. The notes, drawings and captures you make with the Software
   are yours. The Software keeps them on your computer; nothing is sent
   anywhere unless you choose to share it.

4. UPDATES. The installer may open pages of the Notavex web site to tell you
   about this release. No other information leaves your computer.

5. NO WARRANTY. The Software is provided "as is", without warranty of any
   kind, express or implied, including fitness for a particular purpose.

6. LIMITATION OF LIABILITY. In no event shall the authors be liable for any
   damages arising from the use of, or inability to use, the Software.

7. TERMINATION. This license ends when you uninstall the Software or break
   its terms; you then remove every copy.

If you do not accept these terms, choose Cancel: nothing will be installed.
)";

}  // namespace notavex::installer::texts
