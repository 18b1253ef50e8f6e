// Everything of the UECP library in one include.
#ifndef RDS_UECP_UECP_H_
#define RDS_UECP_UECP_H_

#include "uecp/address_elements.h"
#include "uecp/af_element.h"
#include "uecp/callsign.h"
#include "uecp/clock_elements.h"
#include "uecp/clock_values.h"
#include "uecp/crc.h"
#include "uecp/element_codes.h"
#include "uecp/element_description.h"
#include "uecp/frame_reader.h"
#include "uecp/group_elements.h"
#include "uecp/management_elements.h"
#include "uecp/message_element.h"
#include "uecp/name_elements.h"
#include "uecp/raw_element.h"
#include "uecp/request_element.h"
#include "uecp/response_code.h"
#include "uecp/rt_element.h"
#include "uecp/sequence_elements.h"
#include "uecp/service_elements.h"
#include "uecp/uecp_frame.h"

#endif  // RDS_UECP_UECP_H_
