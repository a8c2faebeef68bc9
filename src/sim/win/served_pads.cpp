#include "sim/win/served_pads.h"

#include "sim/win/served_pads_session.h"

namespace sim::win {

namespace served {

Session::Session(std::shared_ptr<pads::Application> program) : program_(std::move(program)) {
  kinds_ = Kinds{applicationKind(), documentKind(), viewKind(),      routerKind(),     layerKind(),
                 listKind(),        partKind(),     attributesKind(), attributeKind(), gateKind(),
                 gateSheetKind(),   labelKind(),    jumperKind(),     namedKind(),      netKind(),
                 pinKind(),         pinSheetKind(), decalKind()};
}

Automation Session::make(const Kind& kind, std::shared_ptr<void> data) {
  return DispatchObject::create(*kind.get(), std::move(data))->automation();
}

Automation Session::application() {
  if (application_.empty()) application_ = serve(&Kinds::application, program_.get());
  return application_;
}

Automation Session::document(pads::Design& design) {
  if (documentDesign_ != &design || document_.empty()) {
    document_ = serve(&Kinds::document, &design);
    documentDesign_ = &design;
  }
  return document_;
}

Automation Session::named(std::string name) {
  return make(kinds_.named, std::make_shared<Named>(Named{weak_from_this(), std::move(name)}));
}

Automation Session::layer(pads::Design& design, vb::Variant key) {
  return make(kinds_.layer, std::make_shared<LayerKey>(LayerKey{weak_from_this(), &design, std::move(key)}));
}

Automation Session::list(std::function<long()> count, std::function<Automation(Session&, long)> item) {
  return make(kinds_.list, std::make_shared<List>(List{weak_from_this(), std::move(count), std::move(item)}));
}

}  // namespace served

ServedPads::ServedPads(std::shared_ptr<platform::pads::Application> program)
    : program_(std::move(program)), session_(std::make_shared<served::Session>(program_)) {}

ServedPads::~ServedPads() = default;

platform::win::Automation ServedPads::application() const { return session_->application(); }

}  // namespace sim::win
