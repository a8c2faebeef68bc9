#pragma once
// The PADS programs (PADS Logic, PADS Layout, PADS Router) as the system drives them:
// the application, its active design, and the design's parts, attributes and jumpers.
// Members grow as the commands need them; the stand-in implements every one.
#include <memory>
#include <string>
#include <vector>

namespace platform::pads {

constexpr const char* kLogicProgId = "PowerLogic.Application";
constexpr const char* kLayoutProgId = "PowerPCB.Application";
constexpr const char* kRouterProgId = "BlazeRouter.Application";

// A gate of a PADS Logic part: its place and the sheet it stands on.
class Gate {
 public:
  virtual ~Gate() = default;
  virtual double positionX() const = 0;
  virtual double positionY() const = 0;
  // Sheet.Activate: the gate's sheet becomes the shown sheet.
  virtual void activateSheet() = 0;
  // Visibility(index) put, index 0 to 7: one of the gate's label visibilities.
  virtual void setVisibility(int index, long value) = 0;
};

// A text label of a PADS Layout part; its text is its kind, "Ref.Des." or "Value".
class Label {
 public:
  virtual ~Label() = default;
  virtual std::string kind() const = 0;
  virtual double positionX() const = 0;
  virtual double positionY() const = 0;
  virtual double orientation() const = 0;
  virtual long rightReading() const = 0;
  virtual long horzJustification() const = 0;
  virtual long vertJustification() const = 0;
  virtual void setPositionX(double x) = 0;
  virtual void setPositionY(double y) = 0;
  virtual void setOrientation(double o) = 0;
  virtual void setRightReading(long v) = 0;
  virtual void setHorzJustification(long v) = 0;
  virtual void setVertJustification(long v) = 0;
  virtual void setDisplay(long v) = 0;
};

// The design's view (ActiveView).
class View {
 public:
  virtual ~View() = default;
  virtual void setExtentsToSelection() = 0;
  virtual double zoom() const = 0;  // the current zoom factor
  virtual void setScale(double scale) = 0;
  virtual void refresh() = 0;
  // PADS Logic: the view shows the rectangle x1, y1 to x2, y2.
  virtual void setExtents(double x1, double y1, double x2, double y2) = 0;
  // PADS Logic: the view shows the whole active sheet.
  virtual void setExtentsToSheet() = 0;
};

// The object types GetObjects and SelectObjects take (PadsObjectType).
enum class ObjectType { Parts = 1, Nets = 2, Gates = 4 };

// The design's units (PadsUnit).
enum class Unit { Current = 0, DataBase = 1, Mil = 2, Inch = 3, MM = 4 };

class Attribute {
 public:
  virtual ~Attribute() = default;
  virtual std::string name() const = 0;
  virtual std::string value() const = 0;  // the attribute's default value, its text
};

class Part {
 public:
  virtual ~Part() = default;
  virtual std::string name() const = 0;
  virtual std::string partType() const = 0;
  // The attribute of that name, or nothing (no object) when the part has none.
  virtual const Attribute* attribute(const std::string& name) const = 0;
  virtual std::string pcbDecal() const = 0;  // PADS Logic
  virtual std::string decal() const = 0;     // PADS Layout
  virtual long pinCount() const = 0;
  virtual int layer() const = 0;
  virtual double orientation() const = 0;
  virtual double positionX() const = 0;
  virtual double positionY() const = 0;
  virtual double centerX() const = 0;
  virtual double centerY() const = 0;
  virtual bool isSMD() const = 0;
  virtual bool glued() const = 0;
  virtual bool selected() const = 0;
  // True adds the part to the design's selection, False takes it out.
  virtual void setSelected(bool s) = 0;
  // Attributes.Delete: an attribute the part lacks is an error, and nothing changes.
  virtual void deleteAttribute(const std::string& name) = 0;
  // Attributes.Add: the attribute with this value (after the part's other attributes);
  // the program may refuse it, which is an error.
  virtual void addAttribute(const std::string& name, const std::string& value) = 0;
  // Gates(index), from 1: the gate, or nothing (no object) when the part has none there.
  virtual Gate* gate(int index) = 0;
  // Labels, in the part's order (item k from 1 is labels()[k - 1]).
  virtual std::vector<Label*> labels() = 0;
  // Pins: the part's pins, each named "PART.PIN".
  virtual std::vector<std::string> pinNames() const = 0;
  // Name put: the part is renamed; the program may refuse the name, which is an error.
  virtual void rename(const std::string& name) = 0;
};

class Jumper {
 public:
  virtual ~Jumper() = default;
  virtual std::string name() const = 0;
  virtual double length() const = 0;
  virtual double orientation() const = 0;
  virtual std::string netName() const = 0;
  virtual bool selected() const = 0;
  virtual void setSelected(bool s) = 0;
};

class Net {
 public:
  virtual ~Net() = default;
  virtual std::string name() const = 0;
  virtual double length() const = 0;
  virtual void setSelected(bool s) = 0;
};

// A pin of a part, named "PART.PIN" in the design's Pins.
class Pin {
 public:
  virtual ~Pin() = default;
  virtual std::string name() const = 0;
  virtual double positionX() const = 0;
  virtual double positionY() const = 0;
  // Sheet.Activate (PADS Logic): the sheet of the pin's part becomes the shown sheet.
  virtual void activateSheet() = 0;
  virtual void setSelected(bool s) = 0;
};

// A decal of the design; selecting it selects every part that uses it.
class DecalObject {
 public:
  virtual ~DecalObject() = default;
  virtual std::string name() const = 0;
  virtual void setSelected(bool s) = 0;
};

// PADS Router's automatic routing of the active design.
class Router {
 public:
  virtual ~Router() = default;
  virtual void setRun(bool on) = 0;    // Run put True
  virtual void setPause(bool on) = 0;  // Pause put True
  virtual void optimize() = 0;
  virtual void route() = 0;
};

class Design {
 public:
  virtual ~Design() = default;
  virtual std::string name() const = 0;  // the default value of ActiveDocument
  // In the design's own order, each member once.
  virtual std::vector<Part*> components() = 0;
  virtual long componentCount() const = 0;
  // Components(name): the part of that name (the first one, should the design hold the
  // name twice), or nothing (no object) when it has none.
  virtual Part* component(const std::string& name) = 0;
  virtual std::vector<Jumper*> jumpers() = 0;
  virtual long jumperCount() const = 0;
  // Jumpers(name): the jumper of that name, or nothing (no object).
  virtual Jumper* jumper(const std::string& name) = 0;
  // SelectObjects with the object type and name left out and False: nothing stays selected.
  virtual void clearSelection() = 0;
  virtual View& activeView() = 0;
  virtual std::string layerName(int layer) const = 0;
  // Layers(name).Visible = True; a name the design does not know is an error.
  virtual void showLayer(const std::string& name) = 0;

  // Nets(name), Pins(name), Decals(name): the object of that name, or nothing (no object).
  virtual Net* net(const std::string& name) = 0;
  virtual long netCount() const = 0;
  // GetObjects(2, missing, False): every net, in the design's order.
  virtual std::vector<Net*> nets() = 0;
  virtual Pin* pin(const std::string& name) = 0;
  virtual DecalObject* decalObject(const std::string& name) = 0;
  virtual long viaCount() const = 0;
  // GetObjects(type, pattern, selectedOnly) for parts: in the design's order, those whose
  // name matches the Like pattern (every part when it is empty), only the selected ones
  // when asked.
  virtual std::vector<Part*> getParts(const std::string& namePattern, bool selectedOnly) = 0;
  // GetObjects(4, missing, True) (PADS Logic): the selected gates, part by part in the design's order.
  virtual std::vector<Gate*> selectedGates() = 0;
  // SelectObjects(1, missing, True): every part selected.
  virtual void selectAllParts() = 0;
  // ActiveLayer put, with the layer as the caller has it (a number's text, or empty).
  virtual void setActiveLayer(const std::string& layer) = 0;
  virtual Unit unit() const = 0;
  virtual void setUnit(Unit u) = 0;
  virtual double gridX() const = 0;
  virtual double gridY() const = 0;
  virtual long electricalLayerCount() const = 0;
  virtual long layerCount() const = 0;
  // Layers(number).Visible put; a number the design does not name is an error.
  virtual void setLayerVisible(int number, bool visible) = 0;
  // Layers(name).Visible put; a name the design does not know is an error.
  virtual void setLayerVisible(const std::string& name, bool visible) = 0;
  // Pins.Count: the pins of every part.
  virtual long pinCount() const = 0;
  // SetVisibility(code, 0 or 1): an object class of PADS Layout shown or hidden.
  virtual void setVisibility(long code, long on) = 0;
  virtual Router& router() = 0;
};

class Application {
 public:
  virtual ~Application() = default;
  virtual std::string progId() const = 0;
  virtual bool visible() const = 0;
  virtual void setVisible(bool v) = 0;
  // The design open in the program; error 91 when none is open.
  virtual Design& activeDocument() = 0;
  virtual bool hasDocument() const = 0;
  // Opens a design file as the active design; a file that cannot be opened is an error.
  virtual void openDocument(const std::string& path) = 0;
  // ModelessCmd (PADS Layout): the text run as a modeless command.
  virtual void modelessCmd(const std::string& command) = 0;
  // StatusBarText put.
  virtual void setStatusBarText(const std::string& text) = 0;
  // DefaultFilePath (PADS Logic): the folder of its design files.
  virtual std::string defaultFilePath() const = 0;
  // RunMacro (PADS Logic): the macro of that name in the macro file is run.
  virtual void runMacro(const std::string& path, const std::string& macroName) = 0;
};

using AppPtr = std::shared_ptr<Application>;

}  // namespace platform::pads
