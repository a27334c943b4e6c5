#include "portal/portalcontent.h"

#include <array>

namespace mz::portalcontent {

namespace {

// ---- slot values --------------------------------------------------------------------------

const char *const kProvinces[] = {
    "广东", "浙江", "江苏", "山东", "四川",   "湖北",   "湖南", "河南", "福建",
    "安徽", "陕西", "云南", "辽宁", "吉林",   "黑龙江", "江西", "广西", "贵州",
    "甘肃", "海南", "河北", "山西", "内蒙古", "新疆",   "青海", "宁夏",
};
const char *const kCities[] = {
    "北京", "上海", "广州",   "深圳", "杭州", "南京", "成都", "武汉", "重庆", "天津",
    "西安", "长沙", "郑州",   "济南", "青岛", "大连", "沈阳", "厦门", "苏州", "宁波",
    "合肥", "昆明", "哈尔滨", "福州", "南昌", "太原", "兰州", "贵阳", "南宁", "无锡",
};
const char *const kCountries[] = {
    "美国",     "日本",   "俄罗斯", "英国",   "法国", "德国",   "印度",   "巴西",     "韩国",
    "澳大利亚", "加拿大", "意大利", "西班牙", "埃及", "南非",   "墨西哥", "阿根廷",   "印尼",
    "泰国",     "越南",   "土耳其", "荷兰",   "瑞典", "新西兰", "智利",   "尼日利亚",
};
const char *const kNbaTeams[] = {
    "火箭", "湖人", "马刺", "太阳", "小牛", "活塞", "凯尔特人",
    "热火", "骑士", "公牛", "爵士", "掘金", "勇士", "魔术",
};
const char *const kCbaTeams[] = {
    "广东", "八一", "辽宁", "上海", "北京", "江苏", "山东", "新疆", "浙江", "福建", "天津", "吉林",
};
const char *const kTechCompanies[] = {
    "华信电子",   "东方数码",   "天宇科技", "金桥软件", "蓝海通信",
    "星辰微电子", "明德计算机", "远航网络", "神州芯片",
};
const char *const kCarMakers[] = {
    "长风汽车", "华骏汽车", "东岳汽车", "瑞驰汽车", "江城汽车", "北辰汽车", "天工汽车",
};
const char *const kFilms[] = {
    "雾锁江城", "青石巷",   "夏日终章", "大漠长歌", "海角人家",
    "星河之约", "归途如虹", "梧桐雨",   "南方的雪", "铁道线上",
};
const char *const kBooks[] = {
    "江河岁月", "村庄的四季", "远行记", "白墙黑瓦", "城市边缘", "灯下随笔", "故乡的云", "山中来信",
};
const char *const kPeople[] = {
    "王建国", "李明", "张华", "刘洋", "陈静", "杨帆", "赵磊", "黄海", "周涛",
    "吴敏",   "孙立", "马骏", "朱琳", "胡斌", "郭亮", "林峰", "何欣", "高远",
};
const char *const kQuarters[] = {"一", "二", "三", "四"};

// ---- headline templates, per category ------------------------------------------------------

const char *const kDomestic[] = {
    "{P}召开全省经济工作会议 部署下半年重点任务",
    "国务院常务会议研究部署{n}项民生工作",
    "{C}地铁{n}号线今日开通试运营",
    "{P}遭遇强降雨 {N}万群众紧急转移",
    "全国人大常委会审议{n}部法律草案",
    "{C}整治违法建设 拆除违建{N}万平方米",
    "铁路部门：暑运期间将增开临时旅客列车{N}对",
    "{P}部分地区发生{x}级地震 暂无人员伤亡报告",
    "气象台发布高温预警 {C}最高气温将达{t}度",
    "{C}出租车运价拟调整 听证会{d}日举行",
    "公安部开展打击假证专项行动 抓获嫌疑人{M}名",
    "{P}新增高速公路{M}公里 县县通高速提前实现",
    "国家发改委：{pm}月份全国粮食收购进展顺利",
    "{C}公共租赁住房开始摇号 {M}户家庭入围",
    "民政部下拨救灾资金{n}亿元支援{P}灾区",
    "{P}开展安全生产大检查 关闭小煤矿{N}处",
    "南水北调工程{P}段全面开工",
    "{C}启动城中村改造 涉及居民{N}万人",
};
const char *const kInternational[] = {
    "{K}总统访问{K2} 双方签署{n}项合作协议",
    "联合国安理会就{K}局势召开紧急会议",
    "{K}举行议会选举 投票率超过{N}%",
    "{K}发生{x}级强烈地震 已造成{N}人死亡",
    "{K}央行宣布加息25个基点",
    "WTO新一轮谈判在日内瓦重启",
    "{K}首都发生大规模抗议活动",
    "G8峰会开幕 气候变化成焦点议题",
    "{K}外长表示愿与各方加强沟通",
    "{K}一架客机紧急迫降 机上{M}人安全",
    "国际油价创下新高 纽约原油期货逼近{N}美元",
    "{K}总理宣布改组内阁",
    "{K}与{K2}就边界问题举行新一轮会谈",
    "欧盟峰会就预算问题达成协议",
    "{K}遭遇罕见热浪 多地气温突破{t}度",
    "NASA宣布新的火星探测计划",
    "APEC贸易部长会议在{K}举行",
    "{K}大选结果揭晓 反对党获胜",
};
const char *const kSports[] = {
    "NBA常规赛：{T}主场{sc}击败{T2}",
    "NBA季后赛：{T}客场{sc}力克{T2} 总比分领先",
    "CBA联赛：{Tc}客场击败{Tc2} 锁定季后赛席位",
    "中超第{n}轮：{Tc}主场{fd}战平{Tc2}",
    "世界杯预选赛亚洲区：国足主场迎战{K}队",
    "世界杯足球赛抽签揭晓 {K}队落入死亡之组",
    "F1{K}大奖赛：卫冕冠军杆位发车夺冠",
    "网球ATP大师赛：中国选手首次晋级八强",
    "WTA巡回赛{C}站：中国金花会师决赛",
    "田径大奖赛：中国名将夺得110米栏冠军",
    "{K}足球联赛豪门{M}万欧元引进新援",
    "乒乓球公开赛：中国队包揽{n}项冠军",
    "全运会{C}赛区筹备工作进入冲刺阶段",
    "NBA选秀大会落幕 {n}名国际球员首轮被选中",
    "羽毛球超级赛：中国队{n}人晋级决赛",
    "亚洲杯足球赛：国足{fw}战胜{K}队",
    "奥运倒计时：{C}奥运场馆建设完成{N}%",
    "足球：国家队公布{N}人集训名单",
    "NBA全明星赛：中国中锋入选首发阵容",
};
const char *const kMilitary[] = {
    "{K}海军举行大规模联合军事演习",
    "我国海军编队访问{K} 受到热烈欢迎",
    "{K}成功试射新型远程导弹",
    "国防部：中外联合反恐演习将于{m}月举行",
    "解放军某部开展跨区实兵对抗演练",
    "{K}宣布增加军费开支{n}%",
    "北约秘书长：将向阿富汗增派部队",
    "揭秘新型主战坦克：火力与防护全面提升",
    "{K}国防部长访华 两军关系持续发展",
    "{K}新一代隐形战机首飞成功",
    "海军远海训练 {n}艘舰艇参加",
    "武警{P}总队开展抗洪抢险演练",
    "军队院校今年招收地方高中毕业生{M}名",
    "{K}与{K2}举行联合海上演习",
    "UN维和部队中国工兵分队获嘉奖",
};
const char *const kTechnology[] = {
    "{Co}发布新一代双核CPU 功耗降低{N}%",
    "国内3G标准测试进入第{n}阶段",
    "神舟飞船发射准备工作进展顺利",
    "我国科学家在{P}发现新的恐龙化石",
    "我国网民数突破{n}亿 宽带普及率持续提升",
    "MP3播放器价格战升级 入门机型跌破百元",
    "{Co}推出新款笔记本电脑 主打轻薄便携",
    "IT业年中盘点：网络游戏成最大赢家",
    "手机病毒出现新变种 专家提醒用户防范",
    "搜索引擎市场份额报告出炉",
    "嫦娥工程：月球探测卫星完成总装",
    "DVD刻录机全面降价 {Co}率先出手",
    "科学家研制出新型太阳能电池 转换效率达{N}%",
    "LCD显示器价格创新低 19英寸成主流",
    "PC市场第{q}季度出货量同比增长{N}%",
    "{Co}发布国产操作系统新版本",
    "GPS导航仪走进家庭轿车",
};
const char *const kFinance[] = {
    "沪深股市今日全线上涨 上证指数涨{x}%",
    "A股市场成交量创新高 两市成交{M}亿元",
    "证监会：加强上市公司监管 保护投资者权益",
    "{pm}月份CPI同比上涨{x}% 食品价格仍是主因",
    "央行上调存款准备金率0.5个百分点",
    "国家统计局：上半年GDP增长{x}%",
    "基金发行火爆 单日认购超过{M}亿元",
    "国内成品油价格上调 油价每吨上涨{M}元",
    "人民币对美元汇率中间价再创新高",
    "证券公司半年报：经纪业务收入大增",
    "股票开户数持续攀升 单周新增{N}万户",
    "{Co}IPO获批 拟募集资金{N}亿元",
    "外汇储备突破1.{n}万亿美元",
    "银行理财产品热销 预期收益率在{x}%左右",
    "股市震荡加剧 证券分析师提示风险",
    "国际金价震荡走高 每盎司突破{M}美元",
    "QFII额度再次扩大 外资看好A股",
    "B股市场全线飘红 成交明显放大",
};
const char *const kEntertainment[] = {
    "新片《{film}》首映 首日票房破{M}万",
    "{C}国际电影节开幕 {N}部影片参展",
    "流行歌手新专辑发行 MP3下载量居首",
    "《{film}》定档暑期 导演称拍摄历时{n}年",
    "华语金曲奖揭晓 {n}项大奖各有归属",
    "电视剧《{film}》热播 收视率节节攀升",
    "{C}演唱会门票开售 {n}分钟售罄",
    "正版DVD降价 盗版市场受冲击",
    "电视选秀节目总决赛落幕 {C}选手夺冠",
    "国产动画片《{film}》获国际大奖",
    "进口大片数量增加 国产影片压力增大",
    "音乐剧《{film}》{C}巡演启动",
    "KTV版权费收取标准出台",
    "年度十大华语电影榜单公布",
};
const char *const kAutomobile[] = {
    "{Car}新款SUV上市 售价{N}万元起",
    "{pm}月份国内汽车销量同比增长{N}%",
    "{C}车展开幕 {N}款新车首发",
    "油价上涨 小排量汽车受青睐",
    "紧凑型轿车降价潮来袭 最高优惠{n}万元",
    "汽车召回：{Car}召回{M}辆问题车",
    "自主品牌轿车出口量大幅增长",
    "{C}出台机动车尾号限行新规",
    "混合动力汽车进入量产阶段",
    "二手车交易量上半年增长{N}%",
    "汽车消费贷款门槛降低",
    "驾照考试新规实施 路考更加严格",
    "{Car}{C}新工厂竣工投产 年产能{N}万辆",
    "MPV市场升温 {Car}推出七座新车",
};
const char *const kSociety[] = {
    "{C}一男子见义勇为 勇救落水儿童",
    "{C}警方破获特大盗窃团伙 涉案金额{M}万元",
    "{P}一辆客车侧翻 {n}人受伤",
    "{C}市民拾金不昧 归还失主{N}万元现金",
    "{C}百岁老人欢度生日 四世同堂其乐融融",
    "{C}一居民楼发生火灾 消防紧急疏散{N}人",
    "农民工讨薪有了“绿色通道”",
    "{C}开展交通安全宣传周活动",
    "大学生村官扎根基层 带领村民致富",
    "{C}出租车司机捡到巨款 苦等失主{n}小时",
    "{C}推行垃圾分类 市民参与热情高",
    "失散{N}年 兄妹终在{C}重逢",
    "{C}警方提醒：谨防电话诈骗",
    "{C}公交车司机突发疾病 乘客合力救助",
    "无偿献血志愿者人数突破{N}万",
};
const char *const kEducation[] = {
    "教育部：今年高校计划招生{M}万人",    "{P}高考录取分数线公布",
    "义务教育阶段免除学杂费政策全面推行", "{C}中小学暑假安排出炉",
    "大学生就业形势分析：IT专业最受欢迎", "{C}多所高校举办MBA招生咨询会",
    "农村教师培训计划启动 {N}万教师受益", "留学新政：{K}放宽中国学生签证",
    "{C}小升初政策调整 取消择校考试",     "高校贫困生资助体系进一步完善",
    "研究生招生规模扩大 专业学位受追捧",  "教育部严查中小学乱收费",
    "{C}今年新建中小学{N}所 缓解入学难",
};
const char *const kRealEstate[] = {
    "{C}房价上月环比上涨{x}%",
    "{C}经济适用房申购开始",
    "国土资源部：加强土地供应管理",
    "{C}二手房成交量连续{n}个月下滑",
    "开发商降价促销 {C}楼市观望气氛浓",
    "{C}新开楼盘均价每平方米{pr}元",
    "住房公积金贷款额度上调",
    "{C}出台住房保障新规 廉租房覆盖面扩大",
    "装修市场调查：环保材料更受欢迎",
    "物业管理条例修订 业主权益获更多保障",
    "{C}土地拍卖 地王频现",
    "小户型住房供应比例提高",
    "{C}加强商品房预售款监管",
};
const char *const kLife[] = {
    "夏季饮食注意事项：多喝水少吃冷饮",
    "{C}菜价小幅回落 市民菜篮子轻松",
    "专家提醒：高温天气谨防中暑",
    "猪肉价格持续上涨 {C}投放储备肉",
    "假日旅游线路推荐：{P}风光游受热捧",
    "网上购物渐成时尚 消费者需提防陷阱",
    "{C}自来水价格调整方案公布",
    "健康生活：每天步行{N}分钟益处多",
    "{C}市民周末休闲好去处",
    "家用电器节能小窍门",
    "秋冬季节进补要因人而异",
    "{C}新开通{n}条夜间公交线路",
    "手机资费再降 长途漫游费下调",
    "过期食品混入超市 消费者如何辨别",
};
const char *const kCultureEducation[] = {
    "{C}博物馆推出{n}项文物特展",     "全国图书交易博览会在{C}开幕",
    "非物质文化遗产保护工作会议召开", "{P}加强乡镇文化站建设",
    "国家图书馆古籍修复工作取得进展", "{C}社区文化节开幕 {N}个节目登台",
    "中小学开展经典诵读活动",         "全国书法大展在{C}举行",
    "农家书屋工程覆盖{N}万个行政村",  "{P}评选出首批历史文化名镇",
    "高校博物馆向社会免费开放",       "戏曲进校园活动在{C}启动",
};
const char *const kChildren[] = {
    "暑期少儿安全教育活动启动",
    "{C}儿童医院开设周末门诊",
    "儿童玩具质量抽查：合格率为{N}%",
    "{C}少儿科普夏令营开营",
    "专家：少儿近视率逐年上升 家长应重视",
    "六一儿童节{C}多家场馆免费开放",
    "少儿图书销量攀升 绘本受欢迎",
    "{C}留守儿童关爱行动启动",
    "小学生网络安全课进课堂",
    "少儿英语培训市场调查",
    "{C}举办少儿绘画大赛 {M}幅作品参赛",
    "儿童营养调查：零食摄入过多",
};
const char *const kGeneral[] = {
    "今日要闻回顾（{m}月{d}日）",
    "新闻早知道：{m}月{d}日重点新闻提要",
    "一周天气展望：{P}将迎来降雨",
    "图片新闻：{C}夜景",
    "新闻快讯：{C}举行重要会议",
    "每日新闻排行榜：点击量最高的十条新闻",
    "读者来信：关于{C}交通问题的建议",
    "本网调查：{N}%网友关注物价问题",
    "新闻晚报：{m}月{d}日",
    "专题：{y}年上半年经济回顾",
    "评论：让城市更宜居",
    "网友热议：{C}公交票价调整",
};
const char *const kLiterature[] = {
    "著名作家新作《{book}》出版",
    "茅盾文学奖评选工作启动",
    "网络文学作品首次入围文学奖",
    "诗人{S}诗集《{book}》首发式在{C}举行",
    "《{book}》作者做客本网 与网友交流",
    "长篇小说《{book}》改编电视剧开机",
    "文学期刊发行量回升",
    "青年作家创作研讨会在{C}召开",
    "{C}书市开幕 文学类图书销售火爆",
    "经典名著重新翻译出版引发争议",
    "散文集《{book}》获年度好书奖",
    "鲁迅文学奖获奖名单公布",
};
const char *const kCulture[] = {
    "{C}国际艺术节开幕",
    "{P}申报世界文化遗产工作进入关键阶段",
    "故宫修缮工程完成阶段性任务",
    "传统节日文化研讨会在{C}召开",
    "{C}民俗文化节吸引游客{N}万人次",
    "京剧名家{C}专场演出座无虚席",
    "中外文化交流年活动在{K}举行",
    "{C}古城保护规划通过专家评审",
    "文化市场专项整治行动取得成效",
    "国家大剧院演出季节目单公布",
    "孔子学院在{K}新建{n}所",
    "{C}老字号店铺焕发新活力",
};
const char *const kYouth[] = {
    "青少年网瘾调查：{N}%中学生每天上网",
    "共青团开展青少年志愿服务活动",
    "{C}青少年科技创新大赛揭晓",
    "青少年足球训练营在{C}开营",
    "青少年心理健康热线开通",
    "暑期青少年社会实践活动丰富多彩",
    "{C}青少年宫新馆落成",
    "中学生NBA球星见面会在{C}举行",
    "青少年模拟联合国大会在{C}召开",
    "保护青少年远离不良网站",
    "青少年机器人比赛：{C}代表队夺冠",
    "{C}中学生运动会开幕",
};
const char *const kExams[] = {
    "{y}年研究生入学考试报名开始",
    "英语四六级考试改革方案公布",
    "公务员考试报名人数创新高 竞争比例{N}比1",
    "{P}中考成绩今日公布",
    "TOEFL考试新题型介绍",
    "GRE考试网上报名系统开通",
    "自学考试{m}月份开考 {N}万人报名",
    "注册会计师考试报名开始",
    "高考作弊将被追究法律责任",
    "司法考试报名人数持续增长",
    "成人高考报名即将开始",
    "计算机等级考试成绩查询开通",
};
const char *const kEnvironment[] = {
    "{P}关停{N}家高污染企业",
    "{C}空气质量优良天数同比增加{n}天",
    "{C}湖泊蓝藻暴发 启动应急供水",
    "节能减排目标责任书签订",
    "{C}推广使用环保购物袋",
    "长江水质监测报告发布",
    "{P}今年植树造林{N}万亩",
    "国家环保总局：{n}个项目环评未通过",
    "{C}治理噪声污染 夜间施工需审批",
    "清洁能源推广：{C}公交车改用天然气",
    "湿地保护条例出台",
    "{C}垃圾焚烧发电厂建成投产",
    "沙尘天气影响北方{n}省区",
    "{P}发现珍稀鸟类新栖息地",
};

// Paragraph pools: 0 public affairs, 1 world and military, 2 sports, 3 technology,
// 4 economy, 5 culture and entertainment, 6 schools and young people, 7 daily life.
const std::array<CategoryText, 20> kCategories = {{
    {"国内", 14, 0, kDomestic},
    {"国际", 12, 1, kInternational},
    {"体育", 12, 2, kSports},
    {"军事", 4, 1, kMilitary},
    {"科技", 7, 3, kTechnology},
    {"财经", 10, 4, kFinance},
    {"影音", 6, 5, kEntertainment},
    {"汽车", 4, 4, kAutomobile},
    {"社会", 9, 0, kSociety},
    {"教育", 4, 6, kEducation},
    {"房产", 4, 4, kRealEstate},
    {"生活", 4, 7, kLife},
    {"文教", 2, 5, kCultureEducation},
    {"少儿", 2, 6, kChildren},
    {"综合", 3, 7, kGeneral},
    {"文学", 2, 5, kLiterature},
    {"文化", 3, 5, kCulture},
    {"青少", 2, 6, kYouth},
    {"考试", 2, 6, kExams},
    {"环保", 3, 0, kEnvironment},
}};

const char *const kPoolPublic[] = {
    "据介绍，这项工作从{m}月初开始筹备，{P}"
    "各地已陆续成立专门工作小组，按照“先试点、后推广”的思路稳步推进，目前已有{N}"
    "个县市完成了第一阶段任务。",
    "有关负责人表示，下一步将进一步加大投入力度，完善配套政策，确保各项措施落到实处，让群众真正得到"
    "实惠。",
    "记者在{C}街头随机采访了几位市民，大家普遍对此表示欢迎。一位姓{Sn}"
    "的市民说：“这是件实实在在的好事，希望能坚持下去。”",
    "专家指出，此类问题牵涉面广，需要政府、企业和社会各方共同努力，既要解决眼前的突出问题，也要建立"
    "长效机制。",
    "统计数据显示，今年以来全省共投入资金{N}亿元，比去年同期增长{x}%，受益群众超过{M}万人。",
};
const char *const kPoolWorld[] = {
    "据外电报道，{K}"
    "方面当天发表声明，表示将密切关注事态发展，并呼吁有关各方保持克制，通过对话协商解决分歧。",
    "分析人士认为，这一动向反映出地区局势的新变化，其后续影响还有待观察。",
    "{K}媒体援引消息人士的话说，双方此前已就相关问题进行了{n}轮磋商，在部分领域取得了积极进展。",
    "我国外交部发言人在例行记者会上回答相关提问时表示，中方一贯主张通过和平方式处理国际争端。",
    "据悉，参加此次活动的有来自{N}个国家和地区的代表，会期{n}天。",
};
const char *const kPoolSports[] = {
    "比赛一开始双方就展开了激烈争夺，上半场结束时比分咬得很紧。易边再战，主队加强了防守，并凭借几次"
    "快速反击逐渐拉开了比分。",
    "赛后，主教练在新闻发布会上表示，队员们完成了赛前的布置，但在细节上还有很多需要改进的地方。",
    "本场比赛吸引了{N}000多名观众到场观战，现场气氛十分热烈。",
    "据了解，球队将于{d}日启程前往{C}，备战下一阶段的比赛。队医透露，两名主力队员的伤势已无大碍。",
    "这场胜利让球队在积分榜上的排名上升到第{n}位，距离出线目标又近了一步。",
};
const char *const kPoolTech[] = {
    "据介绍，该产品采用了最新的制造工艺，在性能大幅提升的同时，能耗反而降低了{N}%，预计将于{m}"
    "月下旬正式上市。",
    "业内人士分析，随着技术的成熟和成本的下降，相关产品有望在{n}年内走进普通家庭。",
    "研究团队负责人表示，这项成果凝聚了{N}名科研人员数年的心血，其中多项关键技术拥有自主知识产权。",
    "市场调研机构的数据显示，今年第{q}季度国内相关市场规模同比增长{x}%，竞争日趋激烈。",
    "专家提醒广大用户，使用新产品时要注意及时更新软件，防范可能出现的安全隐患。",
};
const char *const kPoolEconomy[] = {
    "数据显示，今年前{n}个月，相关行业累计实现销售收入{M}亿元，同比增长{x}%，增幅比去年同期提高{n}"
    "个百分点。",
    "分析人士指出，当前市场整体走势良好，但投资者仍需注意控制风险，不宜盲目跟风。",
    "{C}一位从业{N}年的业内人士告诉记者，近期前来咨询的客户明显增多，不少人持观望态度。",
    "有关部门表示，将继续加强市场监管，规范经营行为，维护消费者和投资者的合法权益。",
    "业内预计，下半年市场将保持平稳增长，但价格波动仍可能加大。",
};
const char *const kPoolCulture[] = {
    "活动期间共安排了{N}场演出和展览，吸引了大批观众前来参观，不少外地游客专程赶来。",
    "主办方负责人介绍，举办这项活动的目的是弘扬优秀传统文化，丰富群众的精神文化生活。",
    "作品以{C}为背景，讲述了普通人在时代变迁中的悲欢离合，语言朴实，感情真挚。",
    "评论家认为，该作品在艺术上有不少新的探索，为同类创作提供了有益的借鉴。",
    "据悉，相关作品还将在全国{N}个城市巡回展出，并陆续推出音像制品。",
};
const char *const kPoolSchool[] = {
    "据了解，今年{P}共有{N}万名学生参加，比去年增加约{n}千人。教育部门提前做好了各项准备工作。",
    "有关负责人提醒广大考生和家长，要通过正规渠道了解政策信息，不要轻信社会上的各种传言。",
    "一位中学校长告诉记者，学校将把这项工作与日常教学结合起来，让学生在实践中增长才干。",
    "专家建议，家长应多和孩子沟通，帮助他们合理安排学习和休息时间，保持良好的心态。",
    "据介绍，活动将持续到{m}月底，全市{N}所中小学将陆续参加。",
};
const char *const kPoolLife[] = {
    "记者走访{C}几家大型超市发现，近期前来选购的市民明显增多，部分商品价格比上月有所回落。",
    "营养专家提醒，饮食要注意荤素搭配，适量运动，保持规律作息，才是健康生活的关键。",
    "一位姓{Sn}的市民告诉记者：“现在生活方便多了，买东西、办事都比以前省心。”",
    "有关部门提醒市民，遇到问题可拨打消费者投诉电话，依法维护自身的合法权益。",
    "据统计，今年以来全市已开展相关活动{N}次，参与群众超过{M}万人次。",
};

const std::array<std::span<const char *const>, 8> kPools = {{
    kPoolPublic,
    kPoolWorld,
    kPoolSports,
    kPoolTech,
    kPoolEconomy,
    kPoolCulture,
    kPoolSchool,
    kPoolLife,
}};

const char *const kComments[] = {
    "支持！希望能尽快落实。",
    "这才是老百姓关心的事情。",
    "说得容易做起来难，拭目以待吧。",
    "顶一下，写得很好。",
    "我们{C}早就该这样了。",
    "楼上说得有道理。",
    "希望记者继续跟踪报道。",
    "关键是要落到实处，不要走过场。",
    "第一次在这里发言，感觉新闻更新很快。",
    "这个消息对我们普通人来说太重要了。",
    "数据是怎么统计出来的？有点怀疑。",
    "加油！为他们点赞。",
    "看完心情很复杂。",
    "一年比一年好，相信会越来越好。",
    "标题和内容有点对不上啊。",
    "转给朋友看看。",
};

const char *const kPopularKeywords[] = {
    "股票", "NBA", "世界杯", "油价", "房价", "高考", "奥运", "3G", "基金", "CPI", "汽车", "证券",
};

const char *pickOne(std::span<const char *const> values, std::mt19937 &rng)
{
    return values[size_t(draw(rng, int(values.size())))];
}

// Picks a value different from `other` when the list allows it.
const char *pickOther(std::span<const char *const> values, std::mt19937 &rng, const char *other)
{
    const char *value = pickOne(values, rng);
    for (int tries = 0; tries < 8 && other && qstrcmp(value, other) == 0; ++tries)
        value = pickOne(values, rng);
    return value;
}

} // namespace

std::span<const CategoryText> categories()
{
    return kCategories;
}

std::span<const char *const> paragraphs(int pool)
{
    return kPools[size_t(qBound(0, pool, int(kPools.size()) - 1))];
}

std::span<const char *const> comments()
{
    return kComments;
}

std::span<const char *const> popularKeywords()
{
    return kPopularKeywords;
}

QString fillTemplate(const char *utf8Template, std::mt19937 &rng, QDate day)
{
    const QString text = QString::fromUtf8(utf8Template);
    QString out;
    out.reserve(text.size() + 16);
    const char *country = nullptr;
    const char *nbaTeam = nullptr;
    const char *cbaTeam = nullptr;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        const qsizetype close = c == u'{' ? text.indexOf(u'}', i) : -1;
        if (close < 0) {
            out += c;
            ++i;
            continue;
        }
        const QString key = text.mid(i + 1, close - i - 1);
        i = close + 1;
        if (key == u"P") {
            out += QString::fromUtf8(pickOne(kProvinces, rng));
        } else if (key == u"C") {
            out += QString::fromUtf8(pickOne(kCities, rng));
        } else if (key == u"K") {
            country = pickOne(kCountries, rng);
            out += QString::fromUtf8(country);
        } else if (key == u"K2") {
            out += QString::fromUtf8(pickOther(kCountries, rng, country));
        } else if (key == u"T") {
            nbaTeam = pickOne(kNbaTeams, rng);
            out += QString::fromUtf8(nbaTeam);
        } else if (key == u"T2") {
            out += QString::fromUtf8(pickOther(kNbaTeams, rng, nbaTeam));
        } else if (key == u"Tc") {
            cbaTeam = pickOne(kCbaTeams, rng);
            out += QString::fromUtf8(cbaTeam);
        } else if (key == u"Tc2") {
            out += QString::fromUtf8(pickOther(kCbaTeams, rng, cbaTeam));
        } else if (key == u"Co") {
            out += QString::fromUtf8(pickOne(kTechCompanies, rng));
        } else if (key == u"Car") {
            out += QString::fromUtf8(pickOne(kCarMakers, rng));
        } else if (key == u"film") {
            out += QString::fromUtf8(pickOne(kFilms, rng));
        } else if (key == u"book") {
            out += QString::fromUtf8(pickOne(kBooks, rng));
        } else if (key == u"S") {
            out += QString::fromUtf8(pickOne(kPeople, rng));
        } else if (key == u"Sn") {
            out += QString::fromUtf8(pickOne(kPeople, rng)).left(1); // a surname
        } else if (key == u"q") {
            out += QString::fromUtf8(pickOne(kQuarters, rng));
        } else if (key == u"n") {
            out += QString::number(2 + draw(rng, 8));
        } else if (key == u"N") {
            out += QString::number(10 + draw(rng, 90));
        } else if (key == u"M") {
            out += QString::number(100 + draw(rng, 900));
        } else if (key == u"x") {
            out += QString::number(1 + draw(rng, 9)) + u'.' + QString::number(draw(rng, 10));
        } else if (key == u"t") {
            out += QString::number(35 + draw(rng, 7));
        } else if (key == u"pr") {
            out += QString::number(4000 + 100 * draw(rng, 141));
        } else if (key == u"fd") {
            const QString goals = QString::number(draw(rng, 4));
            out += goals + QStringLiteral("比") + goals;
        } else if (key == u"fw") {
            const int winner = 1 + draw(rng, 4);
            out +=
                QString::number(winner) + QStringLiteral("比") + QString::number(draw(rng, winner));
        } else if (key == u"sc") {
            const int winner = 85 + draw(rng, 36);
            out += QString::number(winner) + QStringLiteral("比") +
                   QString::number(winner - 1 - draw(rng, 20));
        } else if (key == u"y") {
            out += QString::number(day.year());
        } else if (key == u"m") {
            out += QString::number(day.month());
        } else if (key == u"pm") {
            out += QString::number(day.addMonths(-1).month()); // last month's figures
        } else if (key == u"d") {
            out += QString::number(day.day());
        } else {
            out += text.mid(i - key.size() - 2, key.size() + 2); // unknown slot: kept as written
        }
    }
    return out;
}

} // namespace mz::portalcontent
