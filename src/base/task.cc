#include "base/task.h"

Task* Task::FromEntities(Entity* function_entity, Entity* member_entity) {
  return new Task(function_entity, member_entity);
}

Task::~Task() {
  if (member_entity_) member_entity_->Release();
  if (function_entity_) function_entity_->Release();
}

void Task::Run() {
  Entity* entity = member_entity_ ? member_entity_ : function_entity_;
  if (entity) entity->Exec();
}

void Task::Release() {
  if (ref_count_.fetch_sub(1) == 1) delete this;
}
