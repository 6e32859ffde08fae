// Sample plug-in in C++ on MvPluginSdk.h: the dot-line ".due <date>" keeps the
// topic's due date in its meta line "due" when the topic is saved, and a
// topic without a date loses the line. The word "due" is then no tag.
//
// Build (MinGW-w64, from this folder's parent):
//   i686-w64-mingw32-g++ -std=c++17 -shared -static -I. -o DuePlugin.dll samples/DuePlugin.cpp
#include "MvPluginSdk.h"

namespace {

class TDuePlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TDuePlugIn() {
        // The name must be the module's file name without ".dll", in any case,
        // for the program's plug-in list to recognise the plug-in.
        SetName("dueplugin");
        PluginID = "sample.due";
        Author = "Miravelund SDK";
        Description = "Keeps the date of a .due line in the topic's meta line \"due\".";
        PluginVersion = "1.0";

        MvPluginSdk::TMvPluginCommand& Save = Commands.Add();
        Save.Caption = "due";  // the dot-line word
        Save.Data = "savetag"; // run when a topic with that line is saved
        Save.OnExecute = [](MvPluginSdk::TMvPluginCommand* Sender) {
            const MvPluginSdk::TMvPluginTopic Topic = Sender->Topic();
            if (!Topic.Available()) return; // run on something that is no topic
            // The line being handled: ".due 2027-01-15" gives "2027-01-15".
            std::string Line = Topic.DotLine();
            const std::size_t Blank = Line.find(' ');
            std::string Date = Blank == std::string::npos ? std::string() : Line.substr(Blank + 1);
            while (!Date.empty() && Date.back() == ' ')
                Date.pop_back();
            // "" removes the line. A refused value raises, which the program
            // reports as this plug-in's failure.
            Sender->Meta().SetValue("due", Date);
        };
    }
};

} // namespace

MV_EXPORT_PLUGIN(TDuePlugIn)
